#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "game/verify/Verifier.h"

namespace quelvane::server {

// What a worker's child gets: its CPU seconds, its memory, the files it may write and the time it
// may take on the clock, after which it is killed.
struct ChildLimits {
    uint32_t cpuSeconds = 60;
    uint64_t memoryBytes = uint64_t{1} << 30;
    uint64_t fileBytes = 16u << 20;
    std::chrono::seconds wallClock{200};
};

// The limits for verifying a game of lengthMs: its CPU budget, and on the clock five times that
// and ten seconds, since the machine's other workers and services share its cores.
ChildLimits limitsForGame(uint32_t lengthMs);

struct ChildResult {
    std::optional<Verdict> verdict;
    std::string failure;  // why there is no verdict: a crash, a kill, a timeout, unreadable output
    double seconds = 0;   // on the clock
    // The failure is the server's (it stopped, or could not start the child), not the file's.
    bool serverSide = false;
};

// Whether a verification is to be stopped: the server stops, or its run's lease was lost.
using StopCheck = std::function<bool()>;

// Verifies a replay in a process of its own: writes the file to a private temporary folder, runs
// program --verify-one on it under the limits with that folder as its TMPDIR, and reads the
// verdict it prints; the folder goes with everything in it. The process is killed when it runs
// past its time or once stopped says so.
ChildResult verifyInChild(const std::string& program, const std::vector<uint8_t>& file,
                          const ChildLimits& limits, const StopCheck& stopped);

}  // namespace quelvane::server
