#include "platform/KeyState.h"

namespace platform {

void KeyState::keyDown(int key) {
    if (key <= 0 || key >= 256)
        return;
    keys_[key].down = true;
    keys_[key].pressedSinceQuery = true;
}

void KeyState::keyUp(int key) {
    if (key <= 0 || key >= 256)
        return;
    keys_[key].down = false;
}

void KeyState::releaseAll(const std::function<void(int)>& released) {
    for (size_t key = 0; key < keys_.size(); ++key) {
        if (keys_[key].down) {
            keys_[key].down = false;
            released(static_cast<int>(key));
        }
    }
}

uint16_t KeyState::query(int key) {
    if (key <= 0 || key >= 256)
        return 0;
    Key& k = keys_[key];
    const uint16_t state = (k.down ? 0x8000 : 0) | (k.pressedSinceQuery ? 1 : 0);
    k.pressedSinceQuery = false;
    return state;
}

}  // namespace platform
