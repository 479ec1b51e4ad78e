#include "platform/Platform.h"

#include <SDL.h>

#include <cstdio>
#include <cstring>
#include <deque>

#include "platform/Clock.h"
#include "platform/EventSource.h"
#include "platform/KeyState.h"

namespace platform {

namespace {

constexpr int kGameScreenWidth = 640;

struct Services {
    SystemClock systemClock;
    SdlEventSource sdlEvents;
    Clock* clock = &systemClock;
    EventSource* events = &sdlEvents;
    std::deque<Message> queue;
    KeyState keys;
};

Services& services() {
    static Services s;
    return s;
}

// Reads what the source has; key state follows each event as it is read, dispatched or not.
void pump() {
    Services& s = services();
    s.events->pump([&s](const Message& m) {
        if (m.kind == MessageKind::KeyDown)
            s.keys.keyDown(m.key);
        if (m.kind == MessageKind::KeyUp)
            s.keys.keyUp(m.key);
        s.queue.push_back(m);
    });
}

}  // namespace

uint32_t tickCount() {
    return services().clock->ticks();
}
void sleep(uint32_t ms) {
    services().clock->sleep(ms);
}

bool peekMessage(Message& message) {
    pump();
    auto& queue = services().queue;
    if (queue.empty())
        return false;
    message = queue.front();
    queue.pop_front();
    return true;
}

bool peekKeyDownMessage(Message& message) {
    pump();
    auto& queue = services().queue;
    for (auto it = queue.begin(); it != queue.end(); ++it) {
        if (it->kind == MessageKind::KeyDown) {
            message = *it;
            queue.erase(it);
            return true;
        }
    }
    return false;
}

uint16_t asyncKeyState(int key) {
    pump();
    return services().keys.query(key);
}

bool hasGraphicalSession() {
    const char* driver =
        SDL_WasInit(SDL_INIT_VIDEO) ? SDL_GetCurrentVideoDriver() : SDL_getenv("SDL_VIDEODRIVER");
    if (driver && *driver)
        return std::strcmp(driver, "dummy") != 0 && std::strcmp(driver, "offscreen") != 0;
    return SDL_getenv("DISPLAY") || SDL_getenv("WAYLAND_DISPLAY");
}

void showCursor(bool show) {
    if (SDL_WasInit(SDL_INIT_VIDEO))
        SDL_ShowCursor(show ? SDL_ENABLE : SDL_DISABLE);
}

void messageBox(const char* text, const char* caption) {
    if (!hasGraphicalSession() ||
        SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, caption, text, nullptr) != 0) {
        std::fprintf(stderr, "%s: %s\n", caption, text);
    }
}

int screenWidth() {
    return kGameScreenWidth;
}

void useClock(Clock* clock) {
    services().clock = clock ? clock : &services().systemClock;
}

void useEventSource(EventSource* source) {
    services().events = source ? source : &services().sdlEvents;
}

void resetInput() {
    services().queue.clear();
    services().keys.clear();
}

}  // namespace platform
