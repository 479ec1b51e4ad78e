#include "platform/Controls.h"

#include <SDL_gamecontroller.h>

#include <algorithm>
#include <utility>

#include "platform/VirtualKeys.h"

namespace platform {

namespace {

constexpr std::string_view kActionNames[kActionCount] = {
    "up",      "down",        "left",    "right",       "attack",      "limitbreak",
    "weapon1", "weapon2",     "weapon3", "weapon4",     "next_weapon", "previous_weapon",
    "help",    "high_scores", "quit",    "full_screen",
};

std::string padName(const PadInput& input) {
    if (input.kind == PadInput::Kind::Button) {
        const char* name = SDL_GameControllerGetStringForButton(
            static_cast<SDL_GameControllerButton>(input.index));
        return std::string("Pad ") + (name ? name : "?");
    }
    const char* name =
        SDL_GameControllerGetStringForAxis(static_cast<SDL_GameControllerAxis>(input.index));
    return std::string("Pad ") + (name ? name : "?") +
           (input.kind == PadInput::Kind::AxisLow ? "-" : "+");
}

Controls& current() {
    static Controls bindings = Controls::defaults();
    return bindings;
}

}  // namespace

std::string_view actionName(Action action) {
    return kActionNames[static_cast<size_t>(action)];
}

int padKey(Action action) {
    return kFirstPadKey + static_cast<int>(action);
}

Controls Controls::defaults() {
    using K = PadInput::Kind;
    Controls c;
    auto set = [&c](Action a, std::vector<int> keys, std::vector<PadInput> pad) {
        c.keys_[static_cast<size_t>(a)] = std::move(keys);
        c.pad_[static_cast<size_t>(a)] = std::move(pad);
    };
    set(Action::MoveUp, {'W', vk::kUp},
        {{K::Button, SDL_CONTROLLER_BUTTON_DPAD_UP}, {K::AxisLow, SDL_CONTROLLER_AXIS_LEFTY}});
    set(Action::MoveDown, {'S', vk::kDown},
        {{K::Button, SDL_CONTROLLER_BUTTON_DPAD_DOWN}, {K::AxisHigh, SDL_CONTROLLER_AXIS_LEFTY}});
    set(Action::MoveLeft, {'A', vk::kLeft},
        {{K::Button, SDL_CONTROLLER_BUTTON_DPAD_LEFT}, {K::AxisLow, SDL_CONTROLLER_AXIS_LEFTX}});
    set(Action::MoveRight, {'D', vk::kRight},
        {{K::Button, SDL_CONTROLLER_BUTTON_DPAD_RIGHT}, {K::AxisHigh, SDL_CONTROLLER_AXIS_LEFTX}});
    set(Action::Attack, {'G', vk::kCtrl}, {{K::Button, SDL_CONTROLLER_BUTTON_A}});
    set(Action::LimitBreak, {'J', vk::kEnter}, {{K::Button, SDL_CONTROLLER_BUTTON_B}});
    set(Action::Weapon1, {'1'}, {});
    set(Action::Weapon2, {'2'}, {});
    set(Action::Weapon3, {'3'}, {});
    set(Action::Weapon4, {'4'}, {});
    set(Action::NextWeapon, {'H', vk::kShift}, {{K::Button, SDL_CONTROLLER_BUTTON_X}});
    set(Action::PreviousWeapon, {vk::kAlt}, {{K::Button, SDL_CONTROLLER_BUTTON_Y}});
    set(Action::Help, {vk::kF1}, {{K::Button, SDL_CONTROLLER_BUTTON_START}});
    set(Action::HighScores, {vk::kF2}, {});
    set(Action::Quit, {vk::kEscape}, {{K::Button, SDL_CONTROLLER_BUTTON_BACK}});
    set(Action::FullScreen, {vk::kF1 + 10}, {});
    c.index();
    return c;
}

void Controls::index() {
    actionOfKey_.fill(-1);
    for (size_t a = 0; a < kActionCount; ++a) {
        queried_[a] = keys_[a];
        queried_[a].push_back(padKey(static_cast<Action>(a)));
        for (const int key : queried_[a])
            actionOfKey_[static_cast<size_t>(key)] = static_cast<int8_t>(a);
    }
}

std::optional<Action> Controls::actionOf(int key) const {
    if (key <= 0 || key >= 256 || actionOfKey_[static_cast<size_t>(key)] < 0)
        return std::nullopt;
    return static_cast<Action>(actionOfKey_[static_cast<size_t>(key)]);
}

std::optional<Action> Controls::actionOf(const PadInput& input) const {
    for (size_t a = 0; a < kActionCount; ++a) {
        if (std::find(pad_[a].begin(), pad_[a].end(), input) != pad_[a].end())
            return static_cast<Action>(a);
    }
    return std::nullopt;
}

const std::vector<int>& Controls::keysOf(Action action) const {
    return queried_[static_cast<size_t>(action)];
}

const std::vector<int>& Controls::keyboardKeysOf(Action action) const {
    return keys_[static_cast<size_t>(action)];
}

const std::vector<PadInput>& Controls::padOf(Action action) const {
    return pad_[static_cast<size_t>(action)];
}

std::string Controls::text() const {
    std::string text;
    for (size_t a = 0; a < kActionCount; ++a) {
        // An action left with nothing has no line: read again, it is left with nothing again.
        if (keys_[a].empty() && pad_[a].empty())
            continue;
        std::string line = std::string(kActionNames[a]) + " =";
        const char* separator = " ";
        for (const int key : keys_[a]) {
            line += separator + keyName(key);
            separator = ", ";
        }
        for (const PadInput& input : pad_[a]) {
            line += separator + padName(input);
            separator = ", ";
        }
        text += line + "\n";
    }
    return text;
}

bool actsWhenPolled(int key) {
    return key == vk::kShift || key == vk::kCtrl || key == vk::kAlt ||
           (key >= kFirstPadKey && key < kFirstPadKey + kActionCount);
}

const Controls& controls() {
    return current();
}

void useControls(const Controls& bindings) {
    current() = bindings;
}

ControlsOverride::ControlsOverride(const Controls& bindings)
    : replaced_(std::exchange(current(), bindings)) {}

ControlsOverride::~ControlsOverride() {
    current() = replaced_;
}

}  // namespace platform
