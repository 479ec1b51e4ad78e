#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "platform/DisplayOptions.h"
#include "platform/Platform.h"
#include "platform/VirtualKeys.h"
#include "platform/Window.h"

namespace {

using namespace platform;

// A game controller made by SDL's virtual joystick, read through the platform's own event source
// behind a real (dummy-driver) window.
class GamepadTest : public ::testing::Test {
  protected:
    void SetUp() override {
        // SDL passes controller events only to a window with the keyboard focus, which no window
        // of the dummy driver has.
        SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
        resetInput();
        setDisplayOptions(DisplayOptions{false, Scaling::Sharp});
        window_ = Window::create("test", 640, 480, nullptr);
        ASSERT_TRUE(window_);
        ASSERT_TRUE(window_->open(640, 480, true));
        plugIn();
        drain();
    }
    void TearDown() override {
        if (joystick_)
            unplug();
        window_.reset();
        setDisplayOptions(DisplayOptions{});
        resetInput();
    }
    void plugIn() {
        device_ = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER,
                                            SDL_CONTROLLER_AXIS_MAX, SDL_CONTROLLER_BUTTON_MAX, 0);
        ASSERT_GE(device_, 0) << SDL_GetError();
        joystick_ = SDL_JoystickOpen(device_);
        ASSERT_NE(joystick_, nullptr);
    }
    void unplug() {
        SDL_JoystickClose(joystick_);
        joystick_ = nullptr;
        SDL_JoystickDetachVirtual(device_);
    }
    void press(SDL_GameControllerButton button, bool down) {
        SDL_JoystickSetVirtualButton(joystick_, button, down ? 1 : 0);
    }
    void lean(SDL_GameControllerAxis axis, Sint16 value) {
        SDL_JoystickSetVirtualAxis(joystick_, axis, value);
    }
    // The key messages the game would read now, as (code, down) pairs in code order: SDL reports
    // a controller's changes in an order of its own.
    std::vector<std::pair<int, bool>> drain() {
        std::vector<std::pair<int, bool>> keys;
        Message m;
        while (peekMessage(m)) {
            if (m.kind == MessageKind::KeyDown || m.kind == MessageKind::KeyUp)
                keys.emplace_back(m.key, m.kind == MessageKind::KeyDown);
        }
        std::stable_sort(keys.begin(), keys.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        return keys;
    }
    using Keys = std::vector<std::pair<int, bool>>;

    std::unique_ptr<Window> window_;
    int device_ = -1;
    SDL_Joystick* joystick_ = nullptr;
};

TEST_F(GamepadTest, ButtonsAreTheKeysTheyStandFor) {
    press(SDL_CONTROLLER_BUTTON_A, true);
    EXPECT_EQ(asyncKeyState(vk::kCtrl), 0x8001) << "A fires, as Ctrl does";
    press(SDL_CONTROLLER_BUTTON_A, false);
    press(SDL_CONTROLLER_BUTTON_B, true);
    press(SDL_CONTROLLER_BUTTON_X, true);
    press(SDL_CONTROLLER_BUTTON_Y, true);
    press(SDL_CONTROLLER_BUTTON_START, true);
    press(SDL_CONTROLLER_BUTTON_BACK, true);
    press(SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, true);
    EXPECT_EQ(drain(), (Keys{{vk::kEnter, true},
                             {vk::kShift, true},
                             {vk::kCtrl, true},
                             {vk::kCtrl, false},
                             {vk::kAlt, true},
                             {vk::kEscape, true},
                             {vk::kF1, true}}));
    EXPECT_EQ(asyncKeyState(vk::kShift), 0x8001) << "X cycles weapons, polled as Shift is";
}

TEST_F(GamepadTest, TheStickSteersOutsideItsDeadZoneAndSharesKeysWithTheDpad) {
    lean(SDL_CONTROLLER_AXIS_LEFTX, -20000);
    lean(SDL_CONTROLLER_AXIS_LEFTY, 4000);
    EXPECT_EQ(drain(), (Keys{{vk::kLeft, true}})) << "a small lean down is no direction";
    lean(SDL_CONTROLLER_AXIS_LEFTY, 30000);
    press(SDL_CONTROLLER_BUTTON_DPAD_LEFT, true);
    EXPECT_EQ(drain(), (Keys{{vk::kDown, true}})) << "Left is already down";
    lean(SDL_CONTROLLER_AXIS_LEFTX, -3000);
    EXPECT_EQ(drain(), (Keys{})) << "the d-pad still holds Left";
    EXPECT_EQ(asyncKeyState(vk::kLeft) & 0x8000, 0x8000);
    press(SDL_CONTROLLER_BUTTON_DPAD_LEFT, false);
    lean(SDL_CONTROLLER_AXIS_LEFTX, 32767);
    lean(SDL_CONTROLLER_AXIS_LEFTY, -32768);
    EXPECT_EQ(drain(),
              (Keys{{vk::kLeft, false}, {vk::kUp, true}, {vk::kRight, true}, {vk::kDown, false}}));
}

TEST_F(GamepadTest, UnpluggingMidPressReleasesItsKeys) {
    press(SDL_CONTROLLER_BUTTON_A, true);
    lean(SDL_CONTROLLER_AXIS_LEFTX, 25000);
    EXPECT_EQ(drain(), (Keys{{vk::kCtrl, true}, {vk::kRight, true}}));
    unplug();
    EXPECT_EQ(drain(), (Keys{{vk::kCtrl, false}, {vk::kRight, false}}));
    EXPECT_EQ(asyncKeyState(vk::kCtrl) & 0x8000, 0);
    EXPECT_EQ(asyncKeyState(vk::kRight) & 0x8000, 0);

    plugIn();
    drain();
    press(SDL_CONTROLLER_BUTTON_A, true);
    EXPECT_EQ(drain(), (Keys{{vk::kCtrl, true}})) << "a controller plugged in during play works";
}

}  // namespace

namespace {

TEST_F(GamepadTest, APauseLetsGoOfTheControllersKeysAndTheyCanBePressedAgain) {
    lean(SDL_CONTROLLER_AXIS_LEFTX, -30000);
    EXPECT_EQ(drain(), (Keys{{vk::kLeft, true}}));
    for (const auto event : {SDL_WINDOWEVENT_FOCUS_LOST, SDL_WINDOWEVENT_FOCUS_GAINED}) {
        SDL_Event e{};
        e.type = SDL_WINDOWEVENT;
        e.window.windowID = SDL_GetWindowID(window_->handle());
        e.window.event = event;
        ASSERT_EQ(SDL_PushEvent(&e), 1);
    }
    EXPECT_EQ(drain(), (Keys{{vk::kLeft, false}}));
    press(SDL_CONTROLLER_BUTTON_DPAD_LEFT, true);
    EXPECT_EQ(drain(), (Keys{{vk::kLeft, true}})) << "the stick no longer counts as holding Left";
}

}  // namespace
