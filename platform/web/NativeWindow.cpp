// Browser variant of platform/NativeWindow.cpp: the canvas is the window, its size the page's.
#include "platform/NativeWindow.h"

namespace platform {

bool drawnSize(SDL_Window*, DrawnSize&) {
    return false;
}

void matchWithoutWindowManager(SDL_Window*, const SDL_Rect&) {}

}  // namespace platform
