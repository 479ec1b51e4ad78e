#include "game/loop/MainLoop.h"

#include "game/core/ExitRequest.h"
#include "game/loop/Frame.h"
#include "game/loop/WindowProc.h"
#include "game/screens/Pass.h"
#include "platform/Platform.h"

namespace quelvane {

namespace {
bool newGame = false;
void (*gameStartObserver)() = nullptr;
}  // namespace

void noteNewGame() {
    newGame = true;
}

void setGameStartObserver(void (*observer)()) {
    gameStartObserver = observer;
}

void runMainLoop() {
    while (!exitRequested)
        runLoopPass();
}

void runLoopPass() {
    if (newGame) {
        newGame = false;
        if (gameStartObserver)
            gameStartObserver();
    }
    const uint32_t frameStart = platform::tickCount();
    platform::Message message;
    while (platform::peekMessage(message))
        windowProc(message);
    runFrame();
    endPass(frameStart);
}

}  // namespace quelvane
