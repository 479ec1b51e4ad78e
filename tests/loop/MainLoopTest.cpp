#include "game/loop/MainLoop.h"
#include "game/screens/Pass.h"

#include <gtest/gtest.h>

#include "game/core/ExitRequest.h"
#include "game/loop/Globals.h"
#include "platform/Clock.h"
#include "platform/EventSource.h"
#include "platform/Platform.h"

namespace quelvane {
namespace {

// Stands for the work of a pass: reading the queue costs the given milliseconds once per pass.
class SlowEvents : public platform::EventSource {
  public:
    SlowEvents(platform::VirtualClock& clock, uint32_t cost) : clock_(clock), cost_(cost) {}
    void pump(const Deliver& deliver) override {
        if (charged_)
            return;
        charged_ = true;
        clock_.advance(cost_);
        if (close_)
            deliver(platform::Message{platform::MessageKind::Close});
    }
    void nextPass() { charged_ = false; }
    void closeOnNextPass() { close_ = true; }

  private:
    platform::VirtualClock& clock_;
    uint32_t cost_;
    bool charged_ = false;
    bool close_ = false;
};

class MainLoopTest : public ::testing::Test {
  protected:
    void SetUp() override {
        exitRequested = false;
        platform::useClock(&clock);
        platform::resetInput();
    }
    void TearDown() override {
        platform::useEventSource(nullptr);
        platform::useClock(nullptr);
        platform::resetInput();
        exitRequested = false;
    }
    platform::VirtualClock clock{0xFFFFFFFAu};  // six milliseconds before the wrap
};

TEST(FrameSleepTest, APassSleepsForWhatIsLeftOfFifteenMilliseconds) {
    EXPECT_EQ(frameSleep(1000, 1003), 12u);
    EXPECT_EQ(frameSleep(1000, 1000), 15u);
    EXPECT_EQ(frameSleep(1000, 1015), 0u);
    EXPECT_EQ(frameSleep(1000, 1040), 0u);
    EXPECT_EQ(frameSleep(0xFFFFFFFEu, 1), 12u) << "the tick count wrapped during the pass";
    EXPECT_EQ(frameSleep(0xFFFFFFF0u, 0x20), 0u);
}

TEST_F(MainLoopTest, PassesArePacedOnTheClockAcrossItsWrap) {
    SlowEvents events(clock, 3);
    platform::useEventSource(&events);
    const uint32_t start = clock.ticks();
    runLoopPass();
    EXPECT_EQ(clock.ticks(), start + 15) << "a 3 ms pass sleeps 12 ms";

    SlowEvents slow(clock, 20);
    platform::useEventSource(&slow);
    const uint32_t second = clock.ticks();
    runLoopPass();
    EXPECT_EQ(clock.ticks(), second + 20) << "a long pass is not followed by any sleep";
}

TEST_F(MainLoopTest, NoFrameRunsWhenTheGameIsAlreadyToEnd) {
    exitRequested = true;
    const uint32_t before = framesRun;
    runMainLoop();
    EXPECT_EQ(framesRun, before);
}

TEST_F(MainLoopTest, AWindowCloseEndsTheLoopAfterTheFrameItArrivesIn) {
    SlowEvents events(clock, 1);
    platform::useEventSource(&events);
    events.closeOnNextPass();
    const uint32_t before = framesRun;
    runMainLoop();
    EXPECT_TRUE(exitRequested);
    EXPECT_EQ(framesRun, before + 1);
}

}  // namespace
}  // namespace quelvane
