#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "server/store/Store.h"

namespace quelvane::server {

struct WorkerSettings {
    int count = 1;
    std::chrono::seconds lease{60};
    std::string program;  // this executable, run as each verification's child
    std::string name;     // this machine and process, which the workers' names begin with
    uint64_t rules = 0;   // the rules this build verifies
};

// Threads that each claim a queued run, verify it in a child process and write the verdict; a
// run whose child crashed, was killed or gave no verdict is given back, and refused by the store
// at its second failure. Idle workers sleep, longer the longer the queue stays empty, and wake at
// once when a run is submitted here.
class Workers {
  public:
    Workers(Store& store, WorkerSettings settings);
    ~Workers();
    Workers(const Workers&) = delete;
    Workers& operator=(const Workers&) = delete;

    void wake();
    // Claims no more runs and lets the verifications running end, for grace at most; those still
    // running then are killed and their runs given back.
    void stop(std::chrono::seconds grace);

  private:
    void work(const std::string& worker);
    // False when the run was given back for the server's own reason.
    bool verify(const std::string& worker, const Claim& claim);
    bool idle(std::chrono::milliseconds pause, uint64_t seen);

    Store& store_;
    const WorkerSettings settings_;
    std::mutex mutex_;
    std::condition_variable changed_;
    uint64_t submissions_ = 0;  // wake-ups, counted so that none is lost between two waits
    bool stopping_ = false;
    int running_ = 0;  // workers not yet returned
    std::atomic<bool> killChildren_{false};
    std::vector<std::thread> threads_;
};

}  // namespace quelvane::server
