#include "game/loop/Entry.h"
#include "game/loop/MainLoop.h"
#include "platform/Platform.h"

int main() {
    if (!startGame(platform::tickCount()))
        return 1;
    runMainLoop();
    endGame();
    return 0;
}
