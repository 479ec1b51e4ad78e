// Browser variant of platform/InputWait.cpp. A page has no descriptors to poll: a paused game
// sleeps in short steps, handing control to the browser, whose event handlers fill SDL's queue
// meanwhile; the Gamepad API is only read when SDL pumps, so each step pumps once.
#include "platform/InputWait.h"

#include <SDL.h>
#include <emscripten.h>

#include <algorithm>

namespace platform {

namespace {
// Short enough that a key or a controller's button wakes the game at once to the eye; a hidden
// page's timers run once a second anyway.
constexpr double kStep = 50;
}  // namespace

InputWait::~InputWait() = default;

void InputWait::controllerOpened(int, const char*) {}

void InputWait::controllerClosed(int) {}

void InputWait::wait(uint32_t ms) {
    const double end = emscripten_get_now() + ms;
    for (;;) {
        SDL_PumpEvents();
        if (SDL_HasEvents(SDL_FIRSTEVENT, SDL_LASTEVENT))
            return;
        const double left = end - emscripten_get_now();
        if (left <= 0)
            return;
        emscripten_sleep(static_cast<unsigned>(std::min(left, kStep)) + 1);
    }
}

}  // namespace platform
