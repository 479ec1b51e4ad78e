#include "server/service/Workers.h"

#include <algorithm>
#include <cstdio>

#include "game/replay/ReplayFile.h"
#include "server/service/VerifyChild.h"

namespace quelvane::server {

namespace {

// An idle worker asks the store again after this, doubling up to the longest: a run submitted to
// another machine's service waits at most that long for a worker here.
constexpr std::chrono::milliseconds kShortestPause{20};
constexpr std::chrono::milliseconds kLongestPause{1000};
// A verdict is worth a few tries when the database is briefly away.
constexpr int kVerdictTries = 10;

Outcome outcomeOf(const Verdict& verdict, double seconds) {
    Outcome outcome;
    outcome.verified = verdict.verified;
    outcome.reason = verdict.reason;
    outcome.score = verdict.simulatedScore;
    outcome.name = verdict.name;
    outcome.playDigest = verdict.playDigest;
    outcome.seconds = seconds;
    return outcome;
}

// Writes what a verification came to; false when the run was no longer this worker's.
bool writeResult(Store& store, const std::string& worker, int64_t id, const ChildResult& result) {
    if (result.verdict)
        return store.finish(id, worker, outcomeOf(*result.verdict, result.seconds));
    if (result.serverSide)
        store.giveBack(id, worker);
    else
        store.release(id, worker, result.failure);
    return true;
}

// Leases a claimed run again every third of its lease while it is verified: a short lease brings a
// dead server's runs back to the queue soon, and a long game still keeps its run.
class LeaseRenewal {
  public:
    LeaseRenewal(Store& store, std::string worker, int64_t id, std::chrono::seconds lease)
        : store_(store), worker_(std::move(worker)), id_(id), lease_(lease), thread_([this] {
              renew();
          }) {}
    ~LeaseRenewal() {
        {
            std::lock_guard lock(mutex_);
            done_ = true;
        }
        ended_.notify_all();
        thread_.join();
    }
    LeaseRenewal(const LeaseRenewal&) = delete;
    LeaseRenewal& operator=(const LeaseRenewal&) = delete;
    // Another worker has the run now: its verification here counts for nothing.
    bool lost() const { return lost_.load(); }

  private:
    void renew() {
        const auto period = std::chrono::duration_cast<std::chrono::milliseconds>(lease_) / 3;
        std::unique_lock lock(mutex_);
        while (!ended_.wait_for(lock, period, [this] { return done_; })) {
            lock.unlock();
            bool kept = true;
            try {
                kept = store_.renew(id_, worker_, lease_);
            } catch (const std::exception& e) {
                // The lease may still be had at the next try.
                std::fprintf(stderr, "quelvane-world: run %lld: %s\n", static_cast<long long>(id_),
                             e.what());
            }
            lock.lock();
            if (!kept) {
                lost_ = true;
                return;
            }
        }
    }

    Store& store_;
    const std::string worker_;
    const int64_t id_;
    const std::chrono::seconds lease_;
    std::mutex mutex_;
    std::condition_variable ended_;
    bool done_ = false;
    std::atomic<bool> lost_{false};
    std::thread thread_;  // last: it starts once the rest is made
};

}  // namespace

Workers::Workers(Store& store, WorkerSettings settings)
    : store_(store), settings_(std::move(settings)) {
    running_ = settings_.count;
    for (int i = 0; i < settings_.count; ++i) {
        const std::string worker = settings_.name + ":" + std::to_string(i + 1);
        threads_.emplace_back([this, worker] { work(worker); });
    }
}

Workers::~Workers() {
    stop(std::chrono::seconds(0));
}

void Workers::wake() {
    {
        std::lock_guard lock(mutex_);
        ++submissions_;
    }
    changed_.notify_all();
}

void Workers::stop(std::chrono::seconds grace) {
    {
        std::unique_lock lock(mutex_);
        stopping_ = true;
        changed_.notify_all();
        if (!changed_.wait_for(lock, grace, [this] { return running_ == 0; }))
            killChildren_ = true;
    }
    for (std::thread& thread : threads_) {
        if (thread.joinable())
            thread.join();
    }
}

// Sleeps for pause, or until a submission after the one seen or the stop; false at the stop.
bool Workers::idle(std::chrono::milliseconds pause, uint64_t seen) {
    std::unique_lock lock(mutex_);
    changed_.wait_for(lock, pause, [&] { return stopping_ || submissions_ != seen; });
    return !stopping_;
}

void Workers::work(const std::string& worker) {
    auto pause = kShortestPause;
    for (;;) {
        uint64_t seen = 0;
        {
            std::lock_guard lock(mutex_);
            if (stopping_)
                break;
            seen = submissions_;
        }
        std::optional<Claim> claim;
        try {
            claim = store_.claim(worker, settings_.rules, settings_.lease);
        } catch (const std::exception& e) {
            std::fprintf(stderr, "quelvane-world: %s: %s\n", worker.c_str(), e.what());
            claim.reset();
            pause = kLongestPause;
        }
        if (claim) {
            if (verify(worker, *claim)) {
                pause = kShortestPause;
                continue;
            }
            // Given back for the server's own reason: a server that cannot verify waits rather
            // than claim and give back without end.
            pause = kLongestPause;
        }
        if (!idle(pause, seen))
            break;
        pause = std::min(pause * 2, kLongestPause);
    }
    std::lock_guard lock(mutex_);
    --running_;
    changed_.notify_all();
}

bool Workers::verify(const std::string& worker, const Claim& claim) {
    ChildResult result;
    bool leaseLost = false;
    {
        const LeaseRenewal renewal(store_, worker, claim.id, settings_.lease);
        const auto header = peekReplayHeader(claim.file);
        const uint32_t length = header ? header->milliseconds : VerifyLimits{}.longestGameMs;
        result = verifyInChild(settings_.program, claim.file, limitsForGame(length),
                               [&] { return killChildren_.load() || renewal.lost(); });
        leaseLost = renewal.lost();
    }
    if (leaseLost) {
        std::fprintf(stderr,
                     "quelvane-world: run %lld: lease lost, left to the worker that has it\n",
                     static_cast<long long>(claim.id));
        return true;
    }
    // A game that could not be started here says nothing of the run, which goes back to the queue.
    if (result.verdict && result.verdict->unplayed) {
        result.failure = result.verdict->reason;
        result.verdict.reset();
        result.serverSide = true;
    }
    for (int attempt = 1; attempt <= kVerdictTries; ++attempt) {
        try {
            if (!writeResult(store_, worker, claim.id, result))
                std::fprintf(stderr, "quelvane-world: run %lld: verdict dropped, lease lost\n",
                             static_cast<long long>(claim.id));
            break;
        } catch (const std::exception& e) {
            std::fprintf(stderr, "quelvane-world: run %lld: %s\n", static_cast<long long>(claim.id),
                         e.what());
            std::this_thread::sleep_for(kLongestPause);
        }
    }
    const char* ended = !result.verdict            ? "given back"
                        : result.verdict->verified ? "verified"
                                                   : "refused";
    const std::string& why = result.verdict ? result.verdict->reason : result.failure;
    std::fprintf(stderr, "quelvane-world: run %lld %s in %.1f s%s%s\n",
                 static_cast<long long>(claim.id), ended, result.seconds, why.empty() ? "" : ": ",
                 why.c_str());
    return result.verdict || !result.serverSide;
}

}  // namespace quelvane::server
