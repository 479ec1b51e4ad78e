#include "game/loop/Entry.h"
#include "game/loop/MainLoop.h"
#include "platform/Platform.h"

int main() {
    if (!quelvane::startGame(platform::tickCount()))
        return 1;
    quelvane::runMainLoop();
    quelvane::endGame();
    return 0;
}
