#include "game/loop/MainLoop.h"

#include "game/core/ExitRequest.h"
#include "game/loop/Frame.h"
#include "game/loop/WindowProc.h"
#include "platform/Platform.h"

namespace quelvane {

void runMainLoop() {
    while (!exitRequested)
        runLoopPass();
}

uint32_t frameSleep(uint32_t frameStart, uint32_t now) {
    const uint32_t elapsed = now - frameStart;
    return elapsed < kFramePeriod ? kFramePeriod - elapsed : 0;
}

void runLoopPass() {
    const uint32_t frameStart = platform::tickCount();
    platform::Message message;
    while (platform::peekMessage(message))
        windowProc(message);
    runFrame();
    // No catching up: a long pass is simply followed by the next one.
    const uint32_t rest = frameSleep(frameStart, platform::tickCount());
    if (rest > 0)
        platform::sleep(rest);
}

}  // namespace quelvane
