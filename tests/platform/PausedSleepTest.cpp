// The paused game on a real X server (the program runs under xvfb-run): it must sleep, game
// controller or not, and wake when the display has something for it.
// GoogleTest before Xlib, whose macros (None, Bool) would rename its types.
#include <gtest/gtest.h>
// clang-format off
#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>
// clang-format on
#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <thread>

#include "platform/Clock.h"
#include "platform/DisplayOptions.h"
#include "platform/DisplayWait.h"
#include "platform/EventSource.h"
#include "platform/Platform.h"
#include "platform/Window.h"
#include "support/TempDir.h"

namespace {

using namespace platform;
using namespace std::chrono_literals;

// The processor time of the whole process, every thread's.
std::chrono::nanoseconds processorTime() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return std::chrono::seconds(t.tv_sec) + std::chrono::nanoseconds(t.tv_nsec);
}

// utime + stime of /proc/self/stat, in clock ticks.
long processorTicks() {
    std::ifstream file("/proc/self/stat");
    std::string stat((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    // The fields after the command's name, which may hold spaces, start at state (field 3).
    std::istringstream fields(stat.substr(stat.rfind(')') + 2));
    std::string field;
    long utime = 0, stime = 0;
    for (int n = 3; n <= 15 && fields >> field; ++n) {
        if (n == 14)
            utime = std::stol(field);
        if (n == 15)
            stime = std::stol(field);
    }
    return utime + stime;
}

// A second client of the X server, as a window manager or the user would act on the game's window.
class OtherClient {
  public:
    OtherClient() : display_(XOpenDisplay(nullptr)) {}
    ~OtherClient() {
        if (display_)
            XCloseDisplay(display_);
    }
    bool connected() const { return display_ != nullptr; }
    void focus(::Window window) {
        XSetInputFocus(display_, window, RevertToNone, CurrentTime);
        XSync(display_, False);
    }

  private:
    Display* display_;
};

::Window xWindowOf(SDL_Window* window) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11)
        return None;
    return info.info.x11.window;
}

std::atomic<int> pauseChanges{0};

// The game's window on the X server with a virtual game controller plugged in, as SDL's own wait
// would then poll every millisecond.
class PausedSleepTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "run under xvfb-run";
        setenv("SDL_VIDEODRIVER", "x11", 1);
        ASSERT_TRUE(other_.connected());
        resetInput();
        setDisplayOptions(DisplayOptions{false, Scaling::Sharp});
        window_ = platform::Window::create("paused", 640, 480, nullptr);
        ASSERT_TRUE(window_);
        ASSERT_TRUE(window_->open(640, 480, true));
        xWindow_ = xWindowOf(window_->handle());
        ASSERT_NE(xWindow_, None);
        device_ = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER,
                                            SDL_CONTROLLER_AXIS_MAX, SDL_CONTROLLER_BUTTON_MAX, 0);
        ASSERT_GE(device_, 0) << SDL_GetError();
        joystick_ = SDL_JoystickOpen(device_);
        ASSERT_NE(joystick_, nullptr);
        drain();
        ASSERT_NE(SDL_GameControllerFromInstanceID(SDL_JoystickInstanceID(joystick_)), nullptr)
            << "the platform opened the controller";
        pauseChanges = 0;
        onPauseChange([](bool) { ++pauseChanges; });
    }
    void TearDown() override {
        onPauseChange(nullptr);
        if (joystick_) {
            SDL_JoystickClose(joystick_);
            SDL_JoystickDetachVirtual(device_);
        }
        window_.reset();
        setDisplayOptions(DisplayOptions{});
        resetInput();
    }
    void drain() {
        Message m;
        while (peekMessage(m)) {
        }
    }

    OtherClient other_;
    std::unique_ptr<platform::Window> window_;
    ::Window xWindow_ = None;
    int device_ = -1;
    SDL_Joystick* joystick_ = nullptr;
};

TEST_F(PausedSleepTest, APausedGameWithAControllerUsesNoProcessorTime) {
    other_.focus(xWindow_);
    drain();
    ASSERT_FALSE(isPaused());
    // The player turns to another window; five seconds later back to the game. Meanwhile this
    // thread sleeps in the platform, and the other measures what the whole process spends.
    std::chrono::nanoseconds spent{};
    long ticks = 0;
    std::thread player([&] {
        other_.focus(None);
        while (pauseChanges < 1)
            std::this_thread::sleep_for(10ms);
        std::this_thread::sleep_for(200ms);  // the pause settles
        const auto timeBefore = processorTime();
        const long ticksBefore = processorTicks();
        std::this_thread::sleep_for(5s);
        spent = processorTime() - timeBefore;
        ticks = processorTicks() - ticksBefore;
        other_.focus(xWindow_);
    });
    Message m;
    while (pauseChanges < 2)
        peekMessage(m);
    player.join();
    std::printf("paused for 5 s: %.2f ms of processor time, %ld clock ticks\n",
                std::chrono::duration<double, std::milli>(spent).count(), ticks);
    // Less than one clock tick (10 ms) over five seconds: a few looks at the messages, no polling.
    // The ticks themselves are whole: a few microseconds may cross from one to the next.
    EXPECT_LT(spent, 10ms) << "the paused game must sleep";
    EXPECT_FALSE(isPaused());
}

// The wait a paused game sleeps in ends as soon as the display has an event for it, however long
// its bound: a wait that missed the event would sleep through the test's whole deadline.
TEST_F(PausedSleepTest, TheWaitEndsAtOnceOnAnEventFromTheDisplay) {
    other_.focus(xWindow_);
    drain();
    SdlEventSource events;
    events.watchWindow(window_->handle());
    SystemClock clock;
    std::thread user([&] {
        std::this_thread::sleep_for(300ms);
        other_.focus(None);
    });
    const auto start = std::chrono::steady_clock::now();
    bool lost = false;
    int waits = 0;
    while (!lost && std::chrono::steady_clock::now() - start < 30s) {
        events.wait(clock, 30000);
        ++waits;
        events.pump([&](const Message& m) { lost = lost || m.kind == MessageKind::FocusLost; });
    }
    const auto waited = std::chrono::steady_clock::now() - start;
    user.join();
    EXPECT_TRUE(lost);
    EXPECT_LT(waited, 10s) << "the focus change woke it, long before the bound";
    EXPECT_LE(waits, 3) << "and it slept meanwhile";
}

// A controller's device wakes the wait as the display does; a FIFO stands in for it. What the
// device said is read away, so the next wait sleeps again, and a device that is gone is no longer
// watched rather than waking every wait.
TEST_F(PausedSleepTest, AControllersDeviceWakesTheWaitOnce) {
    drain();
    TempDir dir;
    const std::string path = (dir.path() / "event0").string();
    ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
    DisplayWait input;
    input.watchWindow(window_->handle());
    input.controllerOpened(7, path.c_str());
    const int device = open(path.c_str(), O_WRONLY | O_NONBLOCK);
    ASSERT_GE(device, 0);
    const auto timed = [&](uint32_t ms) {
        drain();
        const auto start = std::chrono::steady_clock::now();
        input.wait(ms);
        return std::chrono::steady_clock::now() - start;
    };
    std::thread button([&] {
        std::this_thread::sleep_for(200ms);
        ASSERT_EQ(write(device, "button", 6), 6);
    });
    const auto woken = timed(30000);
    button.join();
    EXPECT_LT(woken, 10s) << "the device woke it";
    EXPECT_GE(timed(300), 250ms) << "what it said was read away";
    close(device);
    EXPECT_LT(timed(30000), 10s) << "the device went away";
    EXPECT_GE(timed(300), 250ms) << "and is watched no more";
}

}  // namespace
