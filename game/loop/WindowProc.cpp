#include "game/loop/WindowProc.h"

#include "game/loop/GameState.h"
#include "platform/VirtualKeys.h"

void windowProc(const platform::Message& message) {
    switch (message.kind) {
        case platform::MessageKind::Close:
            exitRequested = true;
            break;
        case platform::MessageKind::KeyDown:
            if (message.key == platform::vk::kEscape)
                exitRequested = true;
            break;
        default:
            break;
    }
}
