#include "platform/WatchControls.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/ControlsReader.h"
#include "platform/DisplayOptions.h"
#include "platform/Platform.h"
#include "platform/Window.h"
#include "support/PushedKey.h"

namespace {

using namespace platform;

void press(SDL_Window* window, SDL_Scancode key) {
    pushKey(window, SDL_KEYDOWN, key);
    pushKey(window, SDL_KEYUP, key);
}

// The watcher's real time, virtual and started just before the wrap; a key can be pressed when
// the watcher has waited long enough.
class WatcherClock : public Clock {
  public:
    uint32_t ticks() override { return kStart + elapsed_; }
    void sleep(uint32_t ms) override {
        elapsed_ += ms;
        if (pressAt_ != 0 && elapsed_ >= pressAt_) {
            pressAt_ = 0;
            press(window_, key_);
        }
    }
    void pressAt(uint32_t elapsed, SDL_Window* window, SDL_Scancode key) {
        pressAt_ = elapsed;
        window_ = window;
        key_ = key;
    }
    uint32_t elapsed() const { return elapsed_; }

  private:
    static constexpr uint32_t kStart = 0xFFFFFFC0u;
    uint32_t elapsed_ = 0;
    uint32_t pressAt_ = 0;
    SDL_Window* window_ = nullptr;
    SDL_Scancode key_ = SDL_SCANCODE_UNKNOWN;
};

// Watching a replay in a real (dummy-driver) window, the watcher's keys pushed into SDL's queue.
class WatchControlsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        resetInput();
        setDisplayOptions(DisplayOptions{false, Scaling::Sharp});
        window_ = Window::create("test", 640, 480, nullptr);
        ASSERT_TRUE(window_);
        ASSERT_TRUE(window_->open(640, 480, true));
    }
    void TearDown() override {
        window_.reset();
        useControls(Controls::defaults());
        setDisplayOptions(DisplayOptions{});
        resetInput();
    }
    SDL_Window* sdl() const { return window_->handle(); }

    std::unique_ptr<Window> window_;
    WatcherClock clock_;
};

TEST_F(WatchControlsTest,
       TheReplayKeepsItsPaceAcrossTheWrapAndRunsFourTimesAsFastWhileRightIsHeld) {
    WatchControls watch(window_.get(), &clock_);
    watch.keepPace(1000);
    EXPECT_EQ(clock_.elapsed(), 0u) << "the first frame shows at once";
    watch.keepPace(1100);
    EXPECT_EQ(clock_.elapsed(), 100u);

    // A change of speed shows the frame it came with at once and paces the next from there.
    pushKey(sdl(), SDL_KEYDOWN, SDL_SCANCODE_RIGHT);
    watch.keepPace(1300);
    EXPECT_TRUE(watch.fastForward());
    EXPECT_EQ(clock_.elapsed(), 100u);
    watch.keepPace(1500);
    EXPECT_EQ(clock_.elapsed(), 150u);
    pushKey(sdl(), SDL_KEYUP, SDL_SCANCODE_RIGHT);
    watch.keepPace(1600);
    EXPECT_FALSE(watch.fastForward());
    watch.keepPace(1700);
    EXPECT_EQ(clock_.elapsed(), 250u);

    pushKey(sdl(), SDL_KEYDOWN, SDL_SCANCODE_F);
    watch.keepPace(1800);
    watch.keepPace(2200);
    EXPECT_EQ(clock_.elapsed(), 350u) << "F plays fast too";
    EXPECT_FALSE(watch.ended());
}

TEST_F(WatchControlsTest, SpaceHoldsTheReplayUntilItIsPressedAgain) {
    WatchControls watch(window_.get(), &clock_);
    watch.keepPace(0);
    press(sdl(), SDL_SCANCODE_SPACE);
    watch.poll();
    EXPECT_TRUE(watch.paused());

    clock_.pressAt(400, sdl(), SDL_SCANCODE_SPACE);
    watch.keepPace(100);
    EXPECT_FALSE(watch.paused());
    EXPECT_EQ(clock_.elapsed(), 400u) << "no frame while paused, the next one as it goes on";
    watch.keepPace(200);
    EXPECT_EQ(clock_.elapsed(), 500u) << "the pace starts again where the pause ended";
}

TEST_F(WatchControlsTest, FullScreenFollowsThePlayersOwnKeyAndEscEndsTheReplay) {
    std::vector<std::string> problems;
    useControls(parseControls("full_screen = F10", "controls.ini", problems));
    ASSERT_TRUE(problems.empty());
    WatchControls watch(window_.get(), &clock_);
    // As the replay does: the game plays with the bindings it was recorded with.
    useControls(Controls::defaults());

    ASSERT_FALSE(window_->isFullScreen());
    press(sdl(), SDL_SCANCODE_F10);
    watch.poll();
    EXPECT_TRUE(window_->isFullScreen());
    press(sdl(), SDL_SCANCODE_F11);
    watch.poll();
    EXPECT_TRUE(window_->isFullScreen()) << "F11 is not the player's full-screen key";

    watch.keepPace(0);
    pushKey(sdl(), SDL_KEYDOWN, SDL_SCANCODE_ESCAPE);
    watch.keepPace(60000);
    EXPECT_TRUE(watch.ended());
    EXPECT_EQ(clock_.elapsed(), 0u);
}

}  // namespace
