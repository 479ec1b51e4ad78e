#include "game/loop/MainLoop.h"

#include "game/core/ExitRequest.h"
#include "game/loop/Frame.h"
#include "game/loop/WindowProc.h"
#include "game/screens/Pass.h"
#include "platform/Platform.h"

namespace quelvane {

void runMainLoop() {
    while (!exitRequested)
        runLoopPass();
}

void runLoopPass() {
    const uint32_t frameStart = platform::tickCount();
    platform::Message message;
    while (platform::peekMessage(message))
        windowProc(message);
    runFrame();
    endPass(frameStart);
}

}  // namespace quelvane
