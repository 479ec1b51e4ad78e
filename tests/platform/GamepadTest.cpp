#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "platform/ControlsReader.h"
#include "platform/DisplayOptions.h"
#include "platform/Platform.h"
#include "platform/VirtualKeys.h"
#include "platform/Window.h"

namespace {

using namespace platform;

// The key a controller's input bound to the action reaches the game as.
int pad(Action action) {
    return padKey(action);
}

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
        useControls(Controls::defaults());
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

TEST_F(GamepadTest, ButtonsAreTheKeysOfTheActionsTheyAreBoundTo) {
    press(SDL_CONTROLLER_BUTTON_A, true);
    EXPECT_EQ(asyncKeyState(pad(Action::Attack)), 0x8001) << "A fires";
    press(SDL_CONTROLLER_BUTTON_A, false);
    press(SDL_CONTROLLER_BUTTON_B, true);
    press(SDL_CONTROLLER_BUTTON_X, true);
    press(SDL_CONTROLLER_BUTTON_Y, true);
    press(SDL_CONTROLLER_BUTTON_START, true);
    press(SDL_CONTROLLER_BUTTON_BACK, true);
    press(SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, true);
    EXPECT_EQ(drain(), (Keys{{pad(Action::Attack), true},
                             {pad(Action::Attack), false},
                             {pad(Action::LimitBreak), true},
                             {pad(Action::NextWeapon), true},
                             {pad(Action::PreviousWeapon), true},
                             {pad(Action::Help), true},
                             {pad(Action::Quit), true}}));
    EXPECT_EQ(asyncKeyState(pad(Action::NextWeapon)), 0x8001) << "X cycles weapons when polled";
    EXPECT_EQ(controls().actionOf(pad(Action::Quit)), Action::Quit);
}

TEST_F(GamepadTest, RebindingMovesAButtonToAnotherActionAndTheFullScreenSwitches) {
    std::vector<std::string> problems;
    useControls(parseControls("attack = G, Pad x\nnext_weapon = H, Pad a\nfull_screen = F11, Pad y",
                              "controls.ini", problems));
    ASSERT_EQ(problems, std::vector<std::string>{});
    press(SDL_CONTROLLER_BUTTON_X, true);
    press(SDL_CONTROLLER_BUTTON_A, true);
    EXPECT_EQ(drain(), (Keys{{pad(Action::Attack), true}, {pad(Action::NextWeapon), true}}));
    const bool wasFullScreen = window_->isFullScreen();
    press(SDL_CONTROLLER_BUTTON_Y, true);
    drain();
    EXPECT_NE(window_->isFullScreen(), wasFullScreen) << "Y switches full screen";
    press(SDL_CONTROLLER_BUTTON_Y, false);
    press(SDL_CONTROLLER_BUTTON_B, true);
    EXPECT_EQ(drain(), (Keys{{pad(Action::LimitBreak), true}}))
        << "B keeps the LimitBreak, which no line bound otherwise";
}

TEST_F(GamepadTest, TheStickSteersOutsideItsDeadZoneAndSharesKeysWithTheDpad) {
    lean(SDL_CONTROLLER_AXIS_LEFTX, -20000);
    lean(SDL_CONTROLLER_AXIS_LEFTY, 4000);
    EXPECT_EQ(drain(), (Keys{{pad(Action::MoveLeft), true}}))
        << "a small lean down is no direction";
    lean(SDL_CONTROLLER_AXIS_LEFTY, 30000);
    press(SDL_CONTROLLER_BUTTON_DPAD_LEFT, true);
    EXPECT_EQ(drain(), (Keys{{pad(Action::MoveDown), true}})) << "Left is already down";
    lean(SDL_CONTROLLER_AXIS_LEFTX, -3000);
    EXPECT_EQ(drain(), (Keys{})) << "the d-pad still holds Left";
    EXPECT_EQ(asyncKeyState(pad(Action::MoveLeft)) & 0x8000, 0x8000);
    press(SDL_CONTROLLER_BUTTON_DPAD_LEFT, false);
    lean(SDL_CONTROLLER_AXIS_LEFTX, 32767);
    lean(SDL_CONTROLLER_AXIS_LEFTY, -32768);
    EXPECT_EQ(drain(), (Keys{{pad(Action::MoveUp), true},
                             {pad(Action::MoveDown), false},
                             {pad(Action::MoveLeft), false},
                             {pad(Action::MoveRight), true}}));
}

TEST_F(GamepadTest, UnpluggingMidPressReleasesItsKeys) {
    press(SDL_CONTROLLER_BUTTON_A, true);
    lean(SDL_CONTROLLER_AXIS_LEFTX, 25000);
    EXPECT_EQ(drain(), (Keys{{pad(Action::MoveRight), true}, {pad(Action::Attack), true}}));
    unplug();
    EXPECT_EQ(drain(), (Keys{{pad(Action::MoveRight), false}, {pad(Action::Attack), false}}));
    EXPECT_EQ(asyncKeyState(pad(Action::Attack)) & 0x8000, 0);
    EXPECT_EQ(asyncKeyState(pad(Action::MoveRight)) & 0x8000, 0);

    plugIn();
    drain();
    press(SDL_CONTROLLER_BUTTON_A, true);
    EXPECT_EQ(drain(), (Keys{{pad(Action::Attack), true}}))
        << "a controller plugged in during play works";
}

}  // namespace

namespace {

TEST_F(GamepadTest, APauseLetsGoOfTheControllersKeysAndTheyCanBePressedAgain) {
    lean(SDL_CONTROLLER_AXIS_LEFTX, -30000);
    EXPECT_EQ(drain(), (Keys{{pad(Action::MoveLeft), true}}));
    for (const auto event : {SDL_WINDOWEVENT_FOCUS_LOST, SDL_WINDOWEVENT_FOCUS_GAINED}) {
        SDL_Event e{};
        e.type = SDL_WINDOWEVENT;
        e.window.windowID = SDL_GetWindowID(window_->handle());
        e.window.event = event;
        ASSERT_EQ(SDL_PushEvent(&e), 1);
    }
    EXPECT_EQ(drain(), (Keys{{pad(Action::MoveLeft), false}}));
    press(SDL_CONTROLLER_BUTTON_DPAD_LEFT, true);
    EXPECT_EQ(drain(), (Keys{{pad(Action::MoveLeft), true}}))
        << "the stick no longer counts as holding Left";
}

}  // namespace
