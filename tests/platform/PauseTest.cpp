#include <SDL.h>
#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <memory>
#include <vector>

#include "platform/Clock.h"
#include "platform/DisplayOptions.h"
#include "platform/EventSource.h"
#include "platform/Platform.h"
#include "platform/VirtualKeys.h"
#include "platform/Window.h"

namespace {

using namespace platform;

Message message(MessageKind kind, int key = 0) {
    Message m;
    m.kind = kind;
    m.key = key;
    return m;
}

// Hands over one batch of messages on each pump, as if the user acted between two looks at the
// queue; counts the waits the paused platform makes.
class BatchedEvents : public EventSource {
  public:
    void pump(const Deliver& deliver) override {
        ++pumps;
        if (onPump)
            onPump();
        if (batches.empty())
            return;
        for (const Message& m : batches.front())
            deliver(m);
        batches.pop_front();
    }
    void wait(Clock& clock, uint32_t ms) override {
        ++waits;
        EventSource::wait(clock, ms);
    }
    std::deque<std::vector<Message>> batches;
    std::function<void()> onPump;
    int pumps = 0;
    int waits = 0;
};

class PauseTest : public ::testing::Test {
  protected:
    void SetUp() override {
        resetInput();
        useClock(&clock);
        useEventSource(&events);
    }
    void TearDown() override {
        useEventSource(nullptr);
        resetInput();
        useClock(nullptr);
    }
    // Near the wrap, so that the frozen tick is checked across it too.
    VirtualClock clock{0xFFFFFF00u};
    BatchedEvents events;
};

TEST_F(PauseTest, TheTickStandsStillWhileTheFocusIsAwayAndHeldKeysAreReleased) {
    events.batches = {
        {message(MessageKind::KeyDown, vk::kCtrl), message(MessageKind::KeyDown, vk::kLeft)},
        {message(MessageKind::FocusLost)},
        {},
        {},
        {message(MessageKind::FocusGained)},
    };
    EXPECT_EQ(asyncKeyState(vk::kCtrl), 0x8001);
    clock.advance(40);
    const uint32_t before = tickCount();
    Message m;
    ASSERT_TRUE(peekMessage(m));  // returns only once the focus is back
    EXPECT_FALSE(isPaused());
    EXPECT_EQ(events.waits, 3) << "the paused platform sleeps between looks at its messages";
    EXPECT_GE(clock.ticks() - before, 3u * 100u) << "time went by on the clock";
    EXPECT_EQ(tickCount(), before) << "but not for the game";
    clock.advance(15);
    EXPECT_EQ(tickCount(), before + 15) << "and runs on from where it stopped";

    // The game's queue: the two presses, then their releases; no focus messages.
    std::vector<Message> seen{m};
    while (peekMessage(m))
        seen.push_back(m);
    ASSERT_EQ(seen.size(), 4u);
    EXPECT_EQ(seen[2].kind, MessageKind::KeyUp);
    EXPECT_EQ(seen[3].kind, MessageKind::KeyUp);
    EXPECT_EQ(asyncKeyState(vk::kCtrl), 0);
    EXPECT_EQ(asyncKeyState(vk::kLeft), 0x0001) << "the unqueried press still counts once";
}

std::vector<bool> pauseChanges;

TEST_F(PauseTest, MinimisingPausesUntilRestoredEvenWithTheFocusBack) {
    pauseChanges.clear();
    onPauseChange([](bool paused) { pauseChanges.push_back(paused); });
    events.batches = {
        {message(MessageKind::Minimised)},
        {message(MessageKind::FocusGained)},
        {message(MessageKind::FocusLost), message(MessageKind::Restored)},
        {message(MessageKind::FocusGained), message(MessageKind::KeyDown, vk::kEnter)},
    };
    const uint32_t before = tickCount();
    Message m;
    ASSERT_TRUE(peekMessage(m));
    EXPECT_EQ(m.key, vk::kEnter);
    EXPECT_EQ(events.waits, 3);
    EXPECT_EQ(tickCount(), before);
    onPauseChange(nullptr);
    EXPECT_EQ(pauseChanges, (std::vector<bool>{true, false})) << "one pause, told once each way";
}

TEST_F(PauseTest, ClosingThePausedWindowReachesTheGame) {
    events.batches = {{message(MessageKind::FocusLost)}, {}, {message(MessageKind::Close)}};
    Message m;
    ASSERT_TRUE(peekMessage(m));
    EXPECT_EQ(m.kind, MessageKind::Close);
    EXPECT_TRUE(isPaused()) << "the game may quit; it is not resumed";
}

// The game reads on after a close (its loops drain the queue before they look at the request to
// quit): the platform must not put it back to sleep until the focus returns, or a game closed while
// paused (Ctrl+C in its terminal, a session's SIGTERM) would never end.
TEST_F(PauseTest, AGameClosedWhilePausedIsNotPutBackToSleep) {
    events.batches = {{message(MessageKind::FocusLost)}, {}, {message(MessageKind::Close)}};
    // Where the platform would sleep on regardless, the player comes back after a while.
    events.onPump = [this] {
        if (events.pumps == 20)
            events.batches.push_back({message(MessageKind::FocusGained)});
    };
    Message m;
    ASSERT_TRUE(peekMessage(m));
    EXPECT_EQ(m.kind, MessageKind::Close);
    const int waits = events.waits;
    EXPECT_FALSE(peekMessage(m));
    EXPECT_FALSE(peekKeyDownMessage(m));
    EXPECT_EQ(asyncKeyState(vk::kEnter), 0);
    EXPECT_EQ(events.waits, waits) << "no more sleeping once the game was closed";
    EXPECT_TRUE(isPaused());
}

TEST_F(PauseTest, ThePausedWindowShowsTheLastPictureWithPausedOverIt) {
    const DisplayOptions saved = displayOptions();
    setDisplayOptions(DisplayOptions{false, Scaling::Sharp});
    auto window = Window::create("test", 640, 480, nullptr);
    ASSERT_TRUE(window);
    ASSERT_TRUE(window->open(640, 480, true));
    const std::vector<uint32_t> picture(size_t{640} * 480, 0x00203040);
    window->present(picture.data(), 640 * 4);

    auto countShown = [&](uint32_t colour) {
        SDL_Surface* surface = SDL_GetWindowSurface(window->handle());
        int count = 0;
        for (int y = 0; y < surface->h; ++y) {
            const auto* row =
                reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(surface->pixels) +
                                                  static_cast<ptrdiff_t>(y) * surface->pitch);
            for (int x = 0; x < surface->w; ++x)
                count += (row[x] & 0x00FFFFFF) == colour;
        }
        return count;
    };
    int whileRunning = 0, whilePaused = 0, pictureWhilePaused = 0;
    events.batches = {{message(MessageKind::FocusLost)}, {}, {message(MessageKind::FocusGained)}};
    events.onPump = [&] {
        (isPaused() ? whilePaused : whileRunning) = countShown(0x00FFFFFF);
        if (isPaused())
            pictureWhilePaused = countShown(0x00203040);
    };
    Message m;
    EXPECT_FALSE(peekMessage(m));
    EXPECT_EQ(whileRunning, 0);
    EXPECT_GT(whilePaused, 100) << "white letters";
    EXPECT_GT(pictureWhilePaused, 640 * 480 * 3 / 4) << "most of the picture stays in view";
    EXPECT_EQ(countShown(0x00FFFFFF), 0) << "play goes on from the clean picture";
    window.reset();
    setDisplayOptions(saved);
}

}  // namespace
