#include "game/loop/MainLoop.h"

#include "game/core/ExitRequest.h"
#include "game/loop/Frame.h"
#include "game/loop/WindowProc.h"
#include "game/player/NewGame.h"
#include "game/screens/Pass.h"
#include "platform/Platform.h"

namespace quelvane {

namespace {
bool newGame = false;
}  // namespace

void noteNewGame() {
    newGame = true;
}

void runMainLoop() {
    while (!exitRequested)
        runLoopPass();
}

void runLoopPass() {
    if (newGame) {
        newGame = false;
        gameStarts().tell();
    }
    const uint32_t frameStart = platform::tickCount();
    platform::Message message;
    while (platform::peekMessage(message))
        windowProc(message);
    runFrame();
    endPass(frameStart);
}

}  // namespace quelvane
