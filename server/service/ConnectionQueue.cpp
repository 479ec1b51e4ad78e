#include "server/service/ConnectionQueue.h"

namespace quelvane::server {

namespace {
thread_local bool refuserThread = false;
}

ConnectionQueue::ConnectionQueue(size_t maxConnections, size_t refusers)
    : maxConnections_(maxConnections) {
    for (size_t i = 0; i < maxConnections; ++i)
        serving_.threads.emplace_back([this] { serve(serving_, false); });
    for (size_t i = 0; i < refusers; ++i)
        refusing_.threads.emplace_back([this] { serve(refusing_, true); });
}

ConnectionQueue::~ConnectionQueue() {
    ConnectionQueue::shutdown();
}

bool ConnectionQueue::refusing() {
    return refuserThread;
}

void ConnectionQueue::enqueue(std::function<void()> connection) {
    {
        std::lock_guard lock(mutex_);
        if (served_ < maxConnections_) {
            ++served_;
            serving_.jobs.push_back([this, connection = std::move(connection)] {
                connection();
                std::lock_guard done(mutex_);
                --served_;
            });
            serving_.ready.notify_one();
            return;
        }
        refusing_.jobs.push_back(std::move(connection));
    }
    refusing_.ready.notify_one();
}

void ConnectionQueue::serve(Pool& pool, bool refuser) {
    refuserThread = refuser;
    for (;;) {
        std::function<void()> job;
        {
            std::unique_lock lock(mutex_);
            pool.ready.wait(lock, [&] { return stopping_ || !pool.jobs.empty(); });
            if (pool.jobs.empty())
                return;
            job = std::move(pool.jobs.front());
            pool.jobs.pop_front();
        }
        job();
    }
}

// The connections accepted are served to their end before the threads stop.
void ConnectionQueue::shutdown() {
    {
        std::lock_guard lock(mutex_);
        if (stopping_)
            return;
        stopping_ = true;
    }
    serving_.ready.notify_all();
    refusing_.ready.notify_all();
    for (Pool* pool : {&serving_, &refusing_}) {
        for (std::thread& thread : pool->threads)
            thread.join();
    }
}

}  // namespace quelvane::server
