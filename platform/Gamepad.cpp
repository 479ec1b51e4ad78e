#include "platform/Gamepad.h"

#include <SDL_gamecontroller.h>

#include <optional>

#include "platform/Controls.h"

namespace platform {

namespace {

// The pad key of what the input is bound to; 0 for nothing.
int keyFor(const PadInput& input) {
    const std::optional<Action> action = controls().actionOf(input);
    return action ? padKey(*action) : 0;
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
    const int key = keyFor({PadInput::Kind::Button, button});
    if (key != 0)
        hold(key, {controller, button}, down, deliver);
}

void GamepadKeys::axis(int controller, int axis, int value, const Deliver& deliver) {
    // A stick's y grows downwards; a trigger only ever goes up.
    const int lowKey = keyFor({PadInput::Kind::AxisLow, axis});
    const int highKey = keyFor({PadInput::Kind::AxisHigh, axis});
    if (lowKey != 0)
        hold(lowKey, {controller, kStickHolder + 2 * axis}, value < -kDeadZone, deliver);
    if (highKey != 0)
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
    if (wasHeld == !holders.empty())
        return;
    // Full screen is the platform's own; it switches once a press.
    if (key == padKey(Action::FullScreen)) {
        if (!wasHeld)
            deliver(Message{MessageKind::ToggleFullScreen});
        return;
    }
    deliver(keyMessage(key, !wasHeld));
}

}  // namespace platform
