#include "platform/ChildProcess.h"

#include <gtest/gtest.h>
#include <signal.h>

#include <cerrno>
#include <chrono>
#include <thread>

namespace platform {
namespace {

// Whether the child has ended within a bound, asked as the game asks: without waiting.
bool endsWithin(ChildProcess& child, std::chrono::seconds bound) {
    const auto until = std::chrono::steady_clock::now() + bound;
    while (!child.ended() && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return child.ended();
}

TEST(ChildProcessTest, AChildIsPolledToItsEndAndItsCodeAndArgumentsKept) {
    std::string error;
    auto child = ChildProcess::start("/bin/sh", {"-c", "exit $0", "3"}, error);
    ASSERT_TRUE(child) << error;
    ASSERT_TRUE(endsWithin(*child, std::chrono::seconds(30)));
    EXPECT_EQ(child->exitCode(), 3);
    // Reaped: no zombie of it is left.
    EXPECT_EQ(::kill(child->id(), 0), -1);

    EXPECT_FALSE(ChildProcess::start("/nonexistent/quelvane", {}, error));
    EXPECT_NE(error.find("/nonexistent/quelvane"), std::string::npos) << error;
}

TEST(ChildProcessTest, AChildStillRunningIsStoppedAndReapedWhenLetGo) {
    std::string error;
    auto child = ChildProcess::start("/bin/sleep", {"60"}, error);
    ASSERT_TRUE(child) << error;
    EXPECT_FALSE(child->ended());
    const pid_t id = child->id();
    const auto before = std::chrono::steady_clock::now();
    child.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::seconds(10));
    EXPECT_EQ(::kill(id, 0), -1);
    EXPECT_EQ(errno, ESRCH);
}

}  // namespace
}  // namespace platform
