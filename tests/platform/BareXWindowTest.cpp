// The game's window on an X server with no window manager (the program runs under xvfb-run on a
// 1024 x 768 screen), where nobody but the game resizes it.
#include <gtest/gtest.h>
// GoogleTest before Xlib, whose macros (None, Bool) would rename its types.
// clang-format off
#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>
// clang-format on

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <ostream>

#include "platform/DisplayOptions.h"
#include "platform/Platform.h"
#include "platform/Window.h"

namespace {

using namespace platform;

struct Geometry {
    int x = 0, y = 0, width = 0, height = 0;
    bool operator==(const Geometry&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Geometry& g) {
    return out << g.width << " x " << g.height << " at (" << g.x << ", " << g.y << ")";
}

class BareXWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "run under xvfb-run";
        setenv("SDL_VIDEODRIVER", "x11", 1);
        display_ = XOpenDisplay(nullptr);
        ASSERT_NE(display_, nullptr);
        screen_ = {0, 0, DisplayWidth(display_, DefaultScreen(display_)),
                   DisplayHeight(display_, DefaultScreen(display_))};
        resetInput();
        setDisplayOptions(DisplayOptions{true, Scaling::Sharp});
        window_ = platform::Window::create("bare", 640, 480, nullptr);
        ASSERT_TRUE(window_);
        SDL_SysWMinfo info;
        SDL_VERSION(&info.version);
        ASSERT_TRUE(SDL_GetWindowWMInfo(window_->handle(), &info));
        xWindow_ = info.info.x11.window;
    }
    void TearDown() override {
        window_.reset();
        if (display_)
            XCloseDisplay(display_);
        setDisplayOptions(DisplayOptions{});
        resetInput();
    }
    // The window as the X server has it, not as SDL believes.
    Geometry geometry() {
        XSync(display_, False);
        ::Window root = 0, child = 0;
        int x = 0, y = 0;
        unsigned width = 0, height = 0, border = 0, depth = 0;
        XGetGeometry(display_, xWindow_, &root, &x, &y, &width, &height, &border, &depth);
        XTranslateCoordinates(display_, xWindow_, root, 0, 0, &x, &y, &child);
        return {x, y, static_cast<int>(width), static_cast<int>(height)};
    }
    Geometry believed() {
        Geometry g;
        SDL_GetWindowSize(window_->handle(), &g.width, &g.height);
        return g;
    }

    Display* display_ = nullptr;
    Geometry screen_;
    std::unique_ptr<platform::Window> window_;
    ::Window xWindow_ = 0;
};

TEST_F(BareXWindowTest, FullScreenCoversTheScreenWhereNoWindowManagerDoesIt) {
    ASSERT_TRUE(window_->open(640, 480, true));
    EXPECT_EQ(geometry(), screen_);
    EXPECT_EQ(believed().width, screen_.width) << "SDL draws for the size it has";
    EXPECT_EQ(believed().height, screen_.height);
}

TEST_F(BareXWindowTest, F11GivesTheWindowItsOwnSizeBackAndTheWholeScreenAgain) {
    ASSERT_TRUE(window_->open(640, 480, true));
    window_->toggleFullScreen();
    ASSERT_FALSE(window_->isFullScreen());
    // The largest whole multiple of 640 x 480 that fits beside a title bar, centred.
    const int factor = std::min(screen_.width / 640, (screen_.height - 48) / 480);
    const Geometry windowed{(screen_.width - 640 * factor) / 2, (screen_.height - 480 * factor) / 2,
                            640 * factor, 480 * factor};
    EXPECT_EQ(geometry(), windowed);
    EXPECT_EQ(believed().width, windowed.width);
    EXPECT_EQ(believed().height, windowed.height);
    window_->toggleFullScreen();
    EXPECT_EQ(geometry(), screen_);
}

}  // namespace
