#include "support/KillHarness.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <random>
#include <thread>

namespace quelvane {

namespace {

// A child that writes forever from version `first` on; returns once its first write is done, so
// that the kill lands among the writes of a writer already running at full speed.
pid_t startWriter(const KillRun& run, int first) {
    int running[2];
    if (::pipe(running) != 0)
        return -1;
    const pid_t writer = ::fork();
    if (writer == 0) {
        ::close(running[0]);
        run.write(first % 2);
        const char byte = 1;
        if (::write(running[1], &byte, 1) != 1)
            ::_exit(1);
        ::close(running[1]);
        for (int i = first + 1;; ++i)
            run.write(i % 2);
    }
    ::close(running[1]);
    char byte = 0;
    if (writer > 0 && ::read(running[0], &byte, 1) != 1)
        ADD_FAILURE() << "the writer never wrote";
    ::close(running[0]);
    return writer;
}

}  // namespace

KillOutcome killWriterRepeatedly(const KillRun& run) {
    KillOutcome outcome;
    constexpr int kCalibrationWrites = 20;
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < kCalibrationWrites; ++i)
        run.write(i % 2);
    outcome.writeTime = std::chrono::duration_cast<std::chrono::microseconds>(
        (std::chrono::steady_clock::now() - start) / kCalibrationWrites);
    std::mt19937 random(run.seed);
    std::uniform_int_distribution<long> delay(0, outcome.writeTime.count() * 4 + 1);

    int current = run.versionNow();
    EXPECT_TRUE(current == 0 || current == 1) << "the calibration writes left a torn file";
    for (int kill = 0; kill < run.kills; ++kill) {
        // The other version first, so that the writes after it show.
        const pid_t writer = startWriter(run, current + 1);
        if (writer <= 0) {
            ADD_FAILURE() << "cannot start a writer";
            return outcome;
        }
        std::this_thread::sleep_for(std::chrono::microseconds(delay(random)));
        EXPECT_EQ(::kill(writer, SIGKILL), 0);
        int status = 0;
        EXPECT_EQ(::waitpid(writer, &status, 0), writer);
        EXPECT_TRUE(WIFSIGNALED(status)) << "the writer stopped by itself, status " << status;

        const int version = run.versionNow();
        if (version != 0 && version != 1) {
            ADD_FAILURE() << "kill " << kill << " left a torn file";
            return outcome;
        }
        outcome.changed += version != current ? 1 : 0;
        current = version;
        if (run.afterKill)
            run.afterKill(kill);
    }
    // Some writers finished a write and some were killed before: the kills landed among them.
    EXPECT_GT(outcome.changed, 0);
    EXPECT_LT(outcome.changed, run.kills);
    return outcome;
}

}  // namespace quelvane
