#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include <httplib.h>

namespace quelvane::server {

// The HTTP server's connections. httplib hands every accepted connection to its task queue, whose
// enqueue cannot refuse one: so the queue itself keeps the cap. Up to maxConnections connections
// are served at once, each on a thread of its own; a connection past them goes to a small pool of
// its own whose threads are marked (refusing()), so that the service's first handler answers it
// 503 at once and closes it. Slow clients past the cap thus wait on the refusing pool, never on
// the threads of the connections served.
class ConnectionQueue : public httplib::TaskQueue {
  public:
    ConnectionQueue(size_t maxConnections, size_t refusers);
    ~ConnectionQueue() override;

    void enqueue(std::function<void()> connection) override;
    void shutdown() override;

    // True on a thread that serves a connection past the cap.
    static bool refusing();

  private:
    struct Pool {
        std::deque<std::function<void()>> jobs;
        std::condition_variable ready;
        std::vector<std::thread> threads;
    };
    void serve(Pool& pool, bool refuser);

    const size_t maxConnections_;
    std::mutex mutex_;
    size_t served_ = 0;  // connections given to the serving pool and not yet closed
    bool stopping_ = false;
    Pool serving_;
    Pool refusing_;
};

}  // namespace quelvane::server
