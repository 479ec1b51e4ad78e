#pragma once

#include <chrono>
#include <functional>

namespace quelvane {

// A writer killed at random moments, many times over, to show that a file is never torn: it always
// holds one of two whole versions.
struct KillRun {
    int kills = 200;
    unsigned seed = 1;
    // Writes version 0 or 1 once; the harness times it here first, so that the kills spread over
    // about four writes, wherever a write happens to be.
    std::function<void(int version)> write;
    // Which version the file holds now: 0 or 1, anything else is a torn file.
    std::function<int()> versionNow;
    // Looks at what a kill left besides the file (stray temporary files), after each kill.
    std::function<void(int kill)> afterKill;
};

struct KillOutcome {
    // Kills after which the file held another version than before the writer started.
    int changed = 0;
    std::chrono::microseconds writeTime{};
};

// Runs the kills: each writer is a child process that writes forever, starting with the version
// the file does not hold, and is killed at a random moment after its first write. Fails the test
// (and stops) at the first torn file; checks that the kills landed among the writes: the file
// holds one version after some kills and the other after others.
KillOutcome killWriterRepeatedly(const KillRun& run);

}  // namespace quelvane
