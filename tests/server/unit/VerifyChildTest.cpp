#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>

#include <atomic>
#include <fstream>
#include <thread>

#include "server/service/VerifyChild.h"
#include "server/unit/SampleVerdict.h"
#include "support/TempDir.h"

namespace {

using namespace quelvane;
using namespace quelvane::server;
using namespace std::chrono_literals;

// A verifier that stands in for the service's own child: it does what the file it is given says,
// and otherwise prints the file, which holds a verdict's lines.
class ScriptedVerifier : public testing::Test {
  protected:
    ScriptedVerifier() {
        program_ = (dir_ / "verifier").string();
        std::ofstream(program_) << "#!/bin/sh\n"
                                   "[ \"$1\" = --verify-one ] || exit 3\n"
                                   "case \"$(head -c 5 \"$2\")\" in\n"
                                   "  crash) mktemp -d >/dev/null; kill -SEGV $$ ;;\n"
                                   "  spins) while :; do :; done ;;\n"
                                   "  waits) exec sleep 30 ;;\n"
                                   "  fails) exit 4 ;;\n"
                                   "esac\n"
                                   "cat \"$2\"\n";
        ::chmod(program_.c_str(), 0700);
        std::filesystem::create_directory(dir_ / "tmp");
        ::setenv("TMPDIR", (dir_ / "tmp").c_str(), 1);
    }
    ~ScriptedVerifier() override { ::unsetenv("TMPDIR"); }

    ChildResult run(const std::string& file, const ChildLimits& limits = {}) {
        return verifyInChild(program_, std::vector<uint8_t>(file.begin(), file.end()), limits,
                             [this] { return stop_.load(); });
    }

    TempDir dir_;
    std::string program_;
    std::atomic<bool> stop_{false};
};

TEST_F(ScriptedVerifier, AVerdictPrintedComesBackAndTheReplayFileIsGone) {
    const ChildResult result = run(formatVerdict(sampleVerdict()));
    ASSERT_TRUE(result.verdict) << result.failure;
    EXPECT_EQ(result.failure, "");
    EXPECT_EQ(result.verdict->simulatedScore, 900);
    EXPECT_EQ(result.verdict->name, "Ann");
    EXPECT_GT(result.seconds, 0);
    EXPECT_TRUE(std::filesystem::is_empty(dir_ / "tmp")) << "the replay's file is left behind";
}

TEST_F(ScriptedVerifier, AChildThatGivesNoVerdictSaysWhy) {
    EXPECT_EQ(run("crash").failure, "its verification crashed (signal 11)");
    EXPECT_EQ(run("fails").failure, "its verification failed (exit status 4)");
    EXPECT_EQ(run("not a verdict").failure, "its verification printed no verdict");
    EXPECT_FALSE(run("crash").verdict);
    EXPECT_TRUE(std::filesystem::is_empty(dir_ / "tmp")) << "a crashed child's scratch is left";

    ChildLimits oneSecond;
    oneSecond.cpuSeconds = 1;
    EXPECT_EQ(run("spins", oneSecond).failure, "its verification ran out of its CPU budget");
    oneSecond.cpuSeconds = 60;
    oneSecond.wallClock = 1s;
    EXPECT_EQ(run("waits", oneSecond).failure, "its verification ran past its time on the clock");
}

TEST_F(ScriptedVerifier, AStopKillsTheChildAtOnce) {
    std::thread stopper([this] {
        std::this_thread::sleep_for(300ms);
        stop_ = true;
    });
    const ChildResult result = run("waits");
    stopper.join();
    EXPECT_EQ(result.failure, "its verification was stopped");
    EXPECT_LT(result.seconds, 10);
}

}  // namespace
