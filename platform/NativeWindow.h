#pragma once

#include <SDL_rect.h>

struct SDL_Window;

namespace platform {

// What the windowing system itself says of the game's window, where SDL's idea of it may be
// wrong: SDL takes a full-screen request as done, but with no window manager (kiosks, bare X
// servers) nobody resizes the window, and SDL's window surface, the size of the screen, then
// shows only its top-left corner through the smaller window.

struct DrawnSize {
    int width = 0;
    int height = 0;
};

// The size of what is actually drawn into: the X window's own; false where only SDL knows it.
bool drawnSize(SDL_Window* window, DrawnSize& size);

// Where no window manager is running, gives the X window the place and size it should have: the
// whole screen while it is full screen, else windowed (SDL, having watched the full-screen window
// not change, takes the whole screen for the window's own size). Elsewhere the window manager
// decides, and SDL hears of it.
void matchWithoutWindowManager(SDL_Window* window, const SDL_Rect& windowed);

}  // namespace platform
