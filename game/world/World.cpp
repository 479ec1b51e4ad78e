#include "game/world/World.h"

#include "game/world/Alien.h"
#include "game/world/AlienShot.h"
#include "game/world/Explosion.h"
#include "game/world/ObjectLists.h"

namespace quelvane {

void clearForNewGame() {
    aliens.clear();
    clearPickups();
    wave = 0;
}

void clearWorld() {
    clearForNewGame();
    clearAlienShots();
    clearExplosions();
    clearPlayerDestroyed();
}

}  // namespace quelvane
