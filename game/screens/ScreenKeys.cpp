#include "game/screens/ScreenKeys.h"

#include "game/screens/Pass.h"
#include "platform/Platform.h"
#include "platform/VirtualKeys.h"

namespace quelvane {

bool keyPressed(int key) {
    return platform::asyncKeyState(key) != 0;
}

bool attackPressed() {
    return keyPressed('G') || keyPressed(platform::vk::kCtrl);
}

void forgetKeys(std::initializer_list<int> keys) {
    for (int key : keys)
        platform::asyncKeyState(key);
}

void drainDropping(bool dropMouseMoves) {
    platform::Message message;
    while (platform::peekMessage(message)) {
        if (message.kind == platform::MessageKind::KeyDown ||
            (dropMouseMoves && message.kind == platform::MessageKind::MouseMove))
            continue;
        dispatchMessage(message);
    }
}

}  // namespace quelvane
