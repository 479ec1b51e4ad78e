#include <SDL.h>
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <thread>
#include <vector>

#include "platform/DisplayOptions.h"
#include "platform/EventSource.h"
#include "platform/PausedBanner.h"
#include "platform/Placement.h"
#include "platform/Platform.h"
#include "platform/Window.h"
#include "support/PushedKey.h"

namespace {

using namespace platform;

constexpr int kWidth = 640;
constexpr int kHeight = 480;

TEST(PlacementTest, SharpPixelsUseTheLargestWholeFactorCentred) {
    struct Case {
        int windowWidth, windowHeight;
        Placement expected;
    };
    const Case cases[] = {
        {640, 480, {0, 0, 640, 480}},
        {1280, 1024, {0, 32, 1280, 960}},
        {1920, 1080, {320, 60, 1280, 960}},
        {800, 600, {80, 60, 640, 480}},
        {1920, 1440, {0, 0, 1920, 1440}},
        // No whole factor fits: shrunk with the aspect kept.
        {639, 479, {0, 0, 638, 479}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(placePicture(c.windowWidth, c.windowHeight, kWidth, kHeight, Scaling::Sharp),
                  c.expected)
            << c.windowWidth << " x " << c.windowHeight;
    }
}

TEST(PlacementTest, SmoothFillsTheHeightOrTheWidthWhenTheHeightIsTooTall) {
    EXPECT_EQ(placePicture(1920, 1080, kWidth, kHeight, Scaling::Smooth),
              (Placement{240, 0, 1440, 1080}));
    EXPECT_EQ(placePicture(800, 600, kWidth, kHeight, Scaling::Smooth),
              (Placement{0, 0, 800, 600}));
    EXPECT_EQ(placePicture(1280, 1024, kWidth, kHeight, Scaling::Smooth),
              (Placement{0, 32, 1280, 960}));
    EXPECT_EQ(placePicture(640, 480, kWidth, kHeight, Scaling::Smooth),
              (Placement{0, 0, 640, 480}));
    EXPECT_EQ(placePicture(0, 480, kWidth, kHeight, Scaling::Smooth), Placement{});
}

TEST(CommandLineTest, TheLastWindowModeWinsAndUnknownOptionsAreRefused) {
    CommandLine command;
    std::string error;
    ASSERT_TRUE(parseCommandLine({"--window", "--smooth"}, command, error));
    EXPECT_FALSE(command.display.fullScreen);
    EXPECT_EQ(command.display.scaling, Scaling::Smooth);
    EXPECT_FALSE(command.help);
    EXPECT_FALSE(command.setupFirst);
    command = {};
    ASSERT_TRUE(
        parseCommandLine({"--window", "--fullscreen", "--setup-first", "-h"}, command, error));
    EXPECT_TRUE(command.display.fullScreen);
    EXPECT_EQ(command.display.scaling, Scaling::Sharp);
    EXPECT_TRUE(command.setupFirst);
    EXPECT_TRUE(command.help);
    EXPECT_FALSE(parseCommandLine({"--windowed"}, command, error));
    EXPECT_EQ(error, "unknown option '--windowed'");
}

// A picture in which every pixel differs from its neighbours and none is black.
std::vector<uint32_t> testPicture() {
    std::vector<uint32_t> pixels(static_cast<size_t>(kWidth) * kHeight);
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x)
            pixels[static_cast<size_t>(y) * kWidth + x] = 0x00010101u + (y << 10 | x);
    }
    return pixels;
}

uint32_t pixelAt(SDL_Surface* surface, int x, int y) {
    const auto* row =
        static_cast<const uint8_t*>(surface->pixels) + static_cast<ptrdiff_t>(y) * surface->pitch;
    return reinterpret_cast<const uint32_t*>(row)[x] & 0x00FFFFFF;
}

// The real window on SDL's dummy video driver, whose window surface holds what was shown.
class WindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        saved_ = displayOptions();
        resetInput();
    }
    void TearDown() override {
        window_.reset();
        setDisplayOptions(saved_);
        useEventSource(nullptr);
        resetInput();
    }
    void open(bool fullScreen, Scaling scaling) {
        setDisplayOptions(DisplayOptions{fullScreen, scaling});
        window_ = Window::create("test", kWidth, kHeight, nullptr);
        ASSERT_TRUE(window_);
        ASSERT_TRUE(window_->open(kWidth, kHeight, true));
    }
    SDL_Surface* showAt(int width, int height) {
        SDL_SetWindowSize(window_->handle(), width, height);
        window_->present(picture_.data(), kWidth * 4);
        return SDL_GetWindowSurface(window_->handle());
    }

    DisplayOptions saved_;
    std::unique_ptr<Window> window_;
    std::vector<uint32_t> picture_ = testPicture();
};

TEST_F(WindowTest, SharpScalingRepeatsEachPixelAndLeavesBlackBars) {
    open(false, Scaling::Sharp);
    EXPECT_TRUE(window_->presentsInSoftware()) << "no GPU behind the dummy driver";
    for (const auto& [w, h] : std::vector<std::pair<int, int>>{
             {640, 480}, {1280, 1024}, {1920, 1080}, {800, 600}, {639, 479}}) {
        SCOPED_TRACE(std::to_string(w) + " x " + std::to_string(h));
        SDL_Surface* shown = showAt(w, h);
        ASSERT_NE(shown, nullptr);
        ASSERT_EQ(shown->w, w);
        ASSERT_EQ(shown->h, h);
        const Placement at = placePicture(w, h, kWidth, kHeight, Scaling::Sharp);
        if (at.y > 0) {
            EXPECT_EQ(pixelAt(shown, w / 2, at.y - 1), 0u) << "the bar above";
        }
        if (at.x > 0) {
            EXPECT_EQ(pixelAt(shown, at.x - 1, h / 2), 0u) << "the bar on the left";
        }
        if (at.x + at.width < w) {
            EXPECT_EQ(pixelAt(shown, at.x + at.width, h / 2), 0u) << "the bar on the right";
        }
        const int factor = at.width / kWidth;
        if (factor == 0)
            continue;
        for (const auto& [x, y] : std::vector<std::pair<int, int>>{{0, 0}, {639, 479}, {17, 301}}) {
            const uint32_t expected = picture_[static_cast<size_t>(y) * kWidth + x];
            EXPECT_EQ(pixelAt(shown, at.x + x * factor, at.y + y * factor), expected);
            EXPECT_EQ(
                pixelAt(shown, at.x + x * factor + factor - 1, at.y + y * factor + factor - 1),
                expected);
        }
    }
}

TEST_F(WindowTest, SmoothScalingFillsTheHeight) {
    open(false, Scaling::Smooth);
    SDL_Surface* shown = showAt(1920, 1080);
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(pixelAt(shown, 239, 540), 0u);
    EXPECT_NE(pixelAt(shown, 240, 540), 0u);
    EXPECT_NE(pixelAt(shown, 960, 1079), 0u);
    EXPECT_EQ(pixelAt(shown, 1680, 540), 0u);
}

TEST_F(WindowTest, F11SwitchesBetweenFullScreenAndAWindow) {
    open(true, Scaling::Sharp);
    EXPECT_TRUE(window_->isFullScreen());
    ScriptedEvents events;
    useEventSource(&events);
    events.add(0, Message{MessageKind::ToggleFullScreen});
    Message m;
    EXPECT_FALSE(peekMessage(m)) << "the game never sees the switch";
    EXPECT_FALSE(window_->isFullScreen());
    events.add(0, Message{MessageKind::ToggleFullScreen});
    EXPECT_FALSE(peekMessage(m));
    EXPECT_TRUE(window_->isFullScreen());
}

TEST_F(WindowTest, TheWindowOptionOverridesTheGamesRequestForTheWholeScreen) {
    open(false, Scaling::Sharp);
    EXPECT_FALSE(window_->isFullScreen());
    EXPECT_TRUE(SDL_GetWindowFlags(window_->handle()) & SDL_WINDOW_RESIZABLE);
    int w = 0, h = 0;
    SDL_GetWindowSize(window_->handle(), &w, &h);
    EXPECT_EQ(w % kWidth, 0);
    EXPECT_EQ(w / kWidth, h / kHeight) << "the window starts at a whole multiple of the picture";
}

TEST(PausedBannerTest, TheBannerIsCentredAndLeavesTheRestOfThePicture) {
    std::vector<uint32_t> picture = testPicture();
    const std::vector<uint32_t> before = picture;
    drawPausedBanner(picture.data(), kWidth, kHeight, kWidth * 4);
    int changedLeft = kWidth, changedRight = -1, changedTop = kHeight, changedBottom = -1;
    int white = 0;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            const size_t i = static_cast<size_t>(y) * kWidth + x;
            if (picture[i] == before[i])
                continue;
            changedLeft = std::min(changedLeft, x);
            changedRight = std::max(changedRight, x);
            changedTop = std::min(changedTop, y);
            changedBottom = std::max(changedBottom, y);
            white += picture[i] == 0x00FFFFFF;
        }
    }
    EXPECT_GT(white, 100) << "the letters are drawn";
    EXPECT_NEAR(changedLeft + changedRight, kWidth - 1, 1);
    EXPECT_NEAR(changedTop + changedBottom, kHeight - 1, 1);
    EXPECT_LT(changedRight - changedLeft, kWidth / 2);
    // Too small a picture is left alone rather than written past.
    std::vector<uint32_t> tiny(size_t{16} * 16, 7);
    drawPausedBanner(tiny.data(), 16, 16, 16 * 4);
    EXPECT_EQ(tiny, std::vector<uint32_t>(size_t{16} * 16, 7));
}

}  // namespace

namespace {

using namespace platform;

void pushWindowEvent(SDL_Window* window, SDL_WindowEventID event) {
    SDL_Event e{};
    e.type = SDL_WINDOWEVENT;
    e.window.windowID = SDL_GetWindowID(window);
    e.window.event = event;
    ASSERT_EQ(SDL_PushEvent(&e), 1);
}

// The next message other than a repaint, which the window's changes bring along.
bool nextNonPaint(Message& m) {
    while (peekMessage(m)) {
        if (m.kind != MessageKind::Paint)
            return true;
    }
    return false;
}

// SDL's own queue and the system clock: F11 and the focus arrive as SDL reports them.
TEST_F(WindowTest, SdlEventsSwitchTheModeAndPauseOnTheSystemClock) {
    open(true, Scaling::Sharp);
    window_->present(picture_.data(), kWidth * 4);
    pushKey(window_->handle(), SDL_KEYDOWN, SDL_SCANCODE_F11);
    pushKey(window_->handle(), SDL_KEYUP, SDL_SCANCODE_F11);
    pushKey(window_->handle(), SDL_KEYDOWN, SDL_SCANCODE_LCTRL);
    Message m;
    ASSERT_TRUE(nextNonPaint(m));
    EXPECT_EQ(m.kind, MessageKind::KeyDown);
    EXPECT_EQ(m.key, 17) << "F11 itself is not the game's";
    EXPECT_FALSE(window_->isFullScreen());

    pushWindowEvent(window_->handle(), SDL_WINDOWEVENT_FOCUS_LOST);
    SDL_Window* handle = window_->handle();
    std::thread user([handle] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        pushWindowEvent(handle, SDL_WINDOWEVENT_FOCUS_GAINED);
    });
    const uint32_t before = tickCount();
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(nextNonPaint(m));
    const auto slept = std::chrono::steady_clock::now() - start;
    user.join();
    EXPECT_EQ(m.kind, MessageKind::KeyUp) << "the held Ctrl is let go";
    EXPECT_EQ(asyncKeyState(17) & 0x8000, 0);
    EXPECT_GE(slept, std::chrono::milliseconds(290));
    EXPECT_LT(tickCount() - before, 100u) << "the pause is not counted";
}

}  // namespace

namespace {

TEST_F(WindowTest, AnUncoveredWindowGetsItsBarsBackNotOnlyThePicture) {
    open(false, Scaling::Sharp);
    SDL_Surface* shown = showAt(800, 600);
    ASSERT_NE(shown, nullptr);
    // What another window left in the bars, which pictures alone never overwrite.
    SDL_Rect bar{0, 0, 800, 60};
    SDL_FillRect(shown, &bar, SDL_MapRGB(shown->format, 200, 0, 0));
    window_->present(picture_.data(), kWidth * 4);
    EXPECT_NE(pixelAt(shown, 400, 10), 0u);
    pushWindowEvent(window_->handle(), SDL_WINDOWEVENT_EXPOSED);
    Message m;
    ASSERT_TRUE(peekMessage(m));
    EXPECT_EQ(m.kind, MessageKind::Paint);
    shown = SDL_GetWindowSurface(window_->handle());
    EXPECT_EQ(pixelAt(shown, 400, 10), 0u);
    EXPECT_EQ(pixelAt(shown, 80, 60), picture_[0]);
}

}  // namespace
