#include "game/loop/Entry.h"

#include <cstdio>

#include "game/core/Random.h"
#include "game/gfx/Display.h"
#include "game/gfx/ShipIcon.h"
#include "game/loop/Globals.h"
#include "game/loop/Startup.h"

namespace quelvane {

bool startGame(uint32_t seed) {
    seedRandom(seed);
    static const auto icon = shipIcon();
    gameWindow = platform::Window::create("Quelvane!", 640, 480, icon.data());
    if (!gameWindow) {
        std::fprintf(stderr, "quelvane: cannot open the game's window\n");
        return false;
    }
    initialiseGame();
    if (display.GetStatus().state != DisplayState::Ready) {
        std::fprintf(stderr, "quelvane: cannot take over the screen\n");
        shutdownGame();
        return false;
    }
    return true;
}

void endGame() {
    shutdownGame();
}

}  // namespace quelvane
