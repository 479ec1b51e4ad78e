#include "game/screens/ScreenKeys.h"

#include "game/screens/Pass.h"
#include "platform/Platform.h"

namespace quelvane {

bool actionPressed(platform::Action action) {
    for (const int key : platform::controls().keysOf(action)) {
        if (platform::asyncKeyState(key) != 0)
            return true;
    }
    return false;
}

void forgetActions(std::initializer_list<platform::Action> actions) {
    for (const platform::Action action : actions) {
        for (const int key : platform::controls().keysOf(action))
            platform::asyncKeyState(key);
    }
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
