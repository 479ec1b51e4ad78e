#include <cstdio>

#include "game/loop/Entry.h"
#include "game/loop/MainLoop.h"
#include "platform/Platform.h"

int main() {
    // Without a desktop SDL would fall back to an invisible window, and the game would run unseen
    // until killed.
    if (!platform::hasGraphicalSession()) {
        std::fprintf(stderr,
                     "quelvane: needs a graphical session (X11 or Wayland); start it from a "
                     "desktop, or use quelvane-replay to run it headless\n");
        return 1;
    }
    if (!quelvane::startGame(platform::tickCount()))
        return 1;
    quelvane::runMainLoop();
    quelvane::endGame();
    return 0;
}
