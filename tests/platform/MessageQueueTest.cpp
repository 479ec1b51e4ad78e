#include <gtest/gtest.h>

#include "platform/Clock.h"
#include "platform/EventSource.h"
#include "platform/Platform.h"

namespace {

using namespace platform;

Message key(MessageKind kind, int code) {
    Message m;
    m.kind = kind;
    m.key = code;
    return m;
}

class MessageQueueTest : public ::testing::Test {
  protected:
    void SetUp() override {
        resetInput();
        useEventSource(&events);
    }
    void TearDown() override {
        useEventSource(nullptr);
        resetInput();
    }
    ScriptedEvents events;
};

TEST_F(MessageQueueTest, ScriptedMessagesArriveInOrderOnceTheirFrameComes) {
    events.add(2, key(MessageKind::KeyDown, 17));
    events.add(0, Message{MessageKind::Paint});
    events.add(2, key(MessageKind::KeyUp, 17));
    events.add(1, Message{MessageKind::Close});
    Message m;
    ASSERT_TRUE(peekMessage(m));
    EXPECT_EQ(m.kind, MessageKind::Paint);
    EXPECT_FALSE(peekMessage(m)) << "the queue is drained without blocking";
    events.setFrame(2);
    ASSERT_TRUE(peekMessage(m));
    EXPECT_EQ(m.kind, MessageKind::Close);
    ASSERT_TRUE(peekMessage(m));
    EXPECT_EQ(m.kind, MessageKind::KeyDown);
    ASSERT_TRUE(peekMessage(m));
    EXPECT_EQ(m.kind, MessageKind::KeyUp);
    EXPECT_FALSE(peekMessage(m));
    EXPECT_TRUE(events.finished());
}

TEST_F(MessageQueueTest, TheKeyDownVariantLeavesEveryOtherMessageWaiting) {
    events.add(0, key(MessageKind::KeyUp, 65));
    events.add(0, key(MessageKind::KeyDown, 27));
    events.add(0, Message{MessageKind::Close});
    events.add(0, key(MessageKind::KeyDown, 71));
    Message m;
    ASSERT_TRUE(peekKeyDownMessage(m));
    EXPECT_EQ(m.key, 27);
    ASSERT_TRUE(peekKeyDownMessage(m));
    EXPECT_EQ(m.key, 71);
    EXPECT_FALSE(peekKeyDownMessage(m));
    ASSERT_TRUE(peekMessage(m));
    EXPECT_EQ(m.kind, MessageKind::KeyUp);
    ASSERT_TRUE(peekMessage(m));
    EXPECT_EQ(m.kind, MessageKind::Close);
}

TEST_F(MessageQueueTest, KeyStateFollowsEventsAsTheyAreReadDispatchedOrNot) {
    events.add(0, key(MessageKind::KeyDown, 16));
    EXPECT_EQ(asyncKeyState(16), 0x8001) << "the query reads waiting events itself";
    Message m;
    while (peekKeyDownMessage(m)) {
    }  // dropped, as the title screen drops key-downs
    EXPECT_EQ(asyncKeyState(16), 0x8000);
    events.add(0, key(MessageKind::KeyUp, 16));
    EXPECT_EQ(asyncKeyState(16), 0);
}

TEST(ClockTest, TheVirtualClockStartsAnywhereAndAdvancesOnlyBySleeping) {
    VirtualClock clock(0xFFFFFFF0u);
    useClock(&clock);
    EXPECT_EQ(tickCount(), 0xFFFFFFF0u);
    platform::sleep(0x20);
    EXPECT_EQ(tickCount(), 0x10u);
    useClock(nullptr);
    const uint32_t a = tickCount();
    platform::sleep(2);
    EXPECT_GE(tickCount() - a, 2u);
}

}  // namespace

namespace {

TEST(MessageBoxTest, WithoutADisplayTheMessageGoesToStandardError) {
    testing::internal::CaptureStderr();
    platform::messageBox("Execute tonspire and run the program again.", "MIDI Device Error");
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "MIDI Device Error: Execute tonspire and run the program again.\n");
}

}  // namespace
