#include "game/loop/Frame.h"

#include "game/gfx/Display.h"
#include "game/loop/Globals.h"
#include "game/player/Ship.h"
#include "game/world/Alien.h"
#include "game/world/AlienShot.h"
#include "game/world/Explosion.h"
#include "game/world/ObjectLists.h"

namespace quelvane {

// The steps are grouped by what the display allows: pixel writes inside a lock, text and lines
// while its device context is held, fills and sprite copies while neither. Everything erases its
// old place before anything moves, and a later step draws over an earlier one.
void runFrame() {
    spawnWave(display);

    eraseStars();
    player.erase(display);
    for (Alien& alien : aliens)
        alien.erase(display);
    eraseAlienShots(display);
    eraseExplosions(display);

    moveStars();

    display.GetDC();
    player.drawHud(display);
    for (Alien& alien : aliens)
        alien.drawHealthBar(display);
    display.ReleaseDC();

    player.update(display);
    player.drawLimitBreakBar(display);
    updatePickups(display, player.x, player.y);
    updateExplosions(display);
    for (Alien& alien : aliens) {
        alien.update(display);
        alien.draw(display);
    }
    // When the death explosion ends, the game over sequence runs in here.
    player.draw(display);
    updateAlienShots(display);

    display.Flip(true);
    ++framesRun;
}

}  // namespace quelvane
