#include "game/loop/Globals.h"

#include "game/gfx/Display.h"

namespace quelvane {

std::unique_ptr<platform::GameWindow> gameWindow;
std::unique_ptr<AudioSystem> audioSystem;
std::unique_ptr<MusicSegment> titleMusic;
std::unique_ptr<MusicSegment> backgroundMusic;
uint32_t framesRun = 0;

void eraseStars() {
    display.Lock();
    for (Star& star : starField)
        star.Erase(display);
    display.Unlock();
}

void moveStars() {
    display.Lock();
    for (Star& star : starField)
        star.Move(display);
    display.Unlock();
}

}  // namespace quelvane
