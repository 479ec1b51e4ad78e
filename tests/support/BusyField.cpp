#include "support/BusyField.h"

#include <cstdio>
#include <cstdlib>

#include "game/gfx/Display.h"
#include "game/loop/Frame.h"
#include "game/player/NewGame.h"
#include "game/player/Ship.h"
#include "game/screens/Screen.h"
#include "game/world/Alien.h"
#include "game/world/ObjectLists.h"
#include "game/world/World.h"
#include "support/ScriptedGame.h"

namespace quelvane {

BusyField::BusyField(ScriptedGame& game, int32_t count) : game_(game), count_(count) {
    setUpNewGame(display);
    clearWorld();
    player.shields = kShields;
    wave = count - 1;
    spawnWave(display);
    // Down from above the field into it, so that every alien is drawn from the first frame.
    for (Alien& alien : aliens)
        alien.y += 300;
    game_.onPass = [] {
        std::fprintf(stderr, "a frame of the busy field opened the %s screen\n",
                     screenName(currentScreen));
        std::abort();
    };
}

BusyField::~BusyField() {
    game_.onPass = nullptr;
}

void BusyField::frame(bool everyAlienFires) {
    clearPickups();
    if (everyAlienFires) {
        for (Alien& alien : aliens)
            alien.lastShotTime = game_.clock.ticks() - 2000;
    }
    runFrame();
    game_.clock.advance(15);
    player.shields = kShields;
    // A destroyed alien comes back, so every frame is as busy as the first.
    while (aliens.size() < static_cast<size_t>(count_)) {
        Alien& alien = aliens.emplace_back();
        alien.place(display, static_cast<int32_t>(aliens.size() * 7 % 598), 100);
    }
}

}  // namespace quelvane
