// The page's wait. A page has no descriptors to poll: a paused game sleeps in short steps, handing
// control to the browser, whose event handlers fill SDL's queue meanwhile; the Gamepad API is only
// read when SDL pumps, so each step pumps once.
#include <SDL.h>
#include <emscripten.h>

#include <algorithm>

#include "platform/InputWait.h"

namespace platform {

namespace {

// Short enough that a key or a controller's button wakes the game at once to the eye; a hidden
// page's timers run once a second anyway.
constexpr double kStep = 50;

class PageWait : public InputWait {
  public:
    // Whatever the window, its events come through SDL's queue.
    void watchWindow(SDL_Window*) override {}
    // The Gamepad API has no device to watch.
    void controllerOpened(int, const char*) override {}
    void controllerClosed(int) override {}
    void wait(uint32_t ms) override;
};

void PageWait::wait(uint32_t ms) {
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

}  // namespace

std::unique_ptr<InputWait> makeInputWait() {
    return std::make_unique<PageWait>();
}

}  // namespace platform
