#include "game/loop/WindowProc.h"

#include "game/core/ExitRequest.h"
#include "platform/VirtualKeys.h"

namespace quelvane {

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

}  // namespace quelvane
