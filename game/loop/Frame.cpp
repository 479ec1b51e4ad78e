#include "game/loop/Frame.h"

#include "game/gfx/Display.h"
#include "game/loop/Globals.h"

namespace quelvane {

// The steps are grouped by what the display allows: pixel writes inside a lock, text and lines
// while its device context is held, fills and sprite copies while neither. A later step draws over
// an earlier one. The ship, the aliens and their shots, explosions, items and the HUD join these
// steps with their own kinds.
void runFrame() {
    display.Lock();
    for (Star& star : starField)
        star.Erase(display);
    display.Unlock();

    display.Lock();
    for (Star& star : starField)
        star.Move(display);
    display.Unlock();

    display.Flip(true);
    ++framesRun;
}

}  // namespace quelvane
