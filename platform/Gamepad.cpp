#include "platform/Gamepad.h"

#include <SDL_gamecontroller.h>

#include "platform/VirtualKeys.h"

namespace platform {

namespace {

int keyForButton(int button) {
    switch (button) {
        case SDL_CONTROLLER_BUTTON_DPAD_UP:
            return vk::kUp;
        case SDL_CONTROLLER_BUTTON_DPAD_DOWN:
            return vk::kDown;
        case SDL_CONTROLLER_BUTTON_DPAD_LEFT:
            return vk::kLeft;
        case SDL_CONTROLLER_BUTTON_DPAD_RIGHT:
            return vk::kRight;
        case SDL_CONTROLLER_BUTTON_A:
            return vk::kCtrl;
        case SDL_CONTROLLER_BUTTON_B:
            return vk::kEnter;
        case SDL_CONTROLLER_BUTTON_X:
            return vk::kShift;
        case SDL_CONTROLLER_BUTTON_Y:
            return vk::kAlt;
        case SDL_CONTROLLER_BUTTON_START:
            return vk::kF1;
        case SDL_CONTROLLER_BUTTON_BACK:
            return vk::kEscape;
        default:
            return 0;
    }
}

// Stick directions are told apart from buttons by numbers past SDL's buttons.
constexpr int kStickHolder = SDL_CONTROLLER_BUTTON_MAX;

Message keyMessage(int key, bool down) {
    Message m;
    m.kind = down ? MessageKind::KeyDown : MessageKind::KeyUp;
    m.key = key;
    return m;
}

}  // namespace

void GamepadKeys::button(int controller, int button, bool down, const Deliver& deliver) {
    const int key = keyForButton(button);
    if (key != 0)
        hold(key, {controller, button}, down, deliver);
}

void GamepadKeys::axis(int controller, int axis, int value, const Deliver& deliver) {
    int lowKey = 0, highKey = 0;
    if (axis == SDL_CONTROLLER_AXIS_LEFTX) {
        lowKey = vk::kLeft;
        highKey = vk::kRight;
    } else if (axis == SDL_CONTROLLER_AXIS_LEFTY) {
        lowKey = vk::kUp;  // the stick's y grows downwards
        highKey = vk::kDown;
    } else {
        return;
    }
    hold(lowKey, {controller, kStickHolder + 2 * axis}, value < -kDeadZone, deliver);
    hold(highKey, {controller, kStickHolder + 2 * axis + 1}, value > kDeadZone, deliver);
}

void GamepadKeys::removed(int controller, const Deliver& deliver) {
    for (auto it = holders_.begin(); it != holders_.end();) {
        auto& holders = it->second;
        const bool held = !holders.empty();
        std::erase_if(holders, [controller](const Holder& h) { return h.first == controller; });
        if (held && holders.empty())
            deliver(keyMessage(it->first, false));
        it = holders.empty() ? holders_.erase(it) : std::next(it);
    }
}

void GamepadKeys::hold(int key, Holder holder, bool down, const Deliver& deliver) {
    auto& holders = holders_[key];
    const bool wasHeld = !holders.empty();
    if (down)
        holders.insert(holder);
    else
        holders.erase(holder);
    if (wasHeld != !holders.empty())
        deliver(keyMessage(key, !wasHeld));
}

}  // namespace platform
