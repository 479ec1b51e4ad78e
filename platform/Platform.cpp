#include "platform/Platform.h"

#include <SDL.h>

#include <cstdio>
#include <cstring>
#include <deque>

#include "platform/AttachedWindow.h"
#include "platform/Clock.h"
#include "platform/EventSource.h"
#include "platform/KeyState.h"
#include "platform/MessageWindow.h"

namespace platform {

namespace {

constexpr int kGameScreenWidth = 640;
// The longest a paused game sleeps before it looks at its messages again. The display and most
// game controllers wake it at once; this bound is for those that cannot (SDL's virtual ones), and
// each look costs the processor, so it is long.
constexpr uint32_t kPauseWait = 1000;

struct Services {
    SystemClock systemClock;
    SdlEventSource sdlEvents;
    Clock* clock = &systemClock;
    EventSource* events = &sdlEvents;
    std::deque<Message> queue;
    KeyState keys;
    AttachedWindow* window = nullptr;
    Observers<uint32_t> tickReads;
    Observers<const Message&> messagesHanded;
    Observers<> pumpEnds;
    // The game pauses while its window has no keyboard focus or is minimised. Its tick count
    // stands still meanwhile: it is the clock's less the time spent paused.
    bool focused = true;
    bool minimised = false;
    bool paused = false;
    void (*pauseHandler)(bool) = nullptr;
    // Once the window is closed the game reads on until it quits, paused or not: it is never put
    // to sleep again.
    bool closed = false;
    uint32_t pauseStart = 0;
    uint32_t pausedTotal = 0;
};

Services& services() {
    static Services s;
    return s;
}

void updatePause(Services& s) {
    const bool pause = !s.focused || s.minimised;
    if (pause == s.paused)
        return;
    s.paused = pause;
    if (pause) {
        s.pauseStart = s.clock->ticks();
        // Keys let go of while the window was away would otherwise stay down for good.
        s.keys.releaseAll([&s](int key) {
            Message m;
            m.kind = MessageKind::KeyUp;
            m.key = key;
            s.queue.push_back(m);
            s.messagesHanded.tell(m);
        });
        s.events->forgetHeldKeys();
    } else {
        s.pausedTotal += s.clock->ticks() - s.pauseStart;
    }
    if (s.window)
        s.window->setPaused(pause);
    if (s.pauseHandler)
        s.pauseHandler(pause);
}

// What the window does itself, whoever the messages are for.
void windowMessage(const Services& s, const Message& m) {
    if (!s.window)
        return;
    if (m.kind == MessageKind::Paint)
        s.window->refresh();
    else if (m.kind == MessageKind::ToggleFullScreen)
        s.window->toggleFullScreen();
}

void handle(Services& s, const Message& m) {
    switch (m.kind) {
        case MessageKind::KeyDown:
            s.keys.keyDown(m.key);
            break;
        case MessageKind::KeyUp:
            s.keys.keyUp(m.key);
            break;
        case MessageKind::Close:
            s.closed = true;
            break;
        case MessageKind::Paint:
            windowMessage(s, m);
            break;
        case MessageKind::FocusLost:
        case MessageKind::FocusGained:
            s.focused = m.kind == MessageKind::FocusGained;
            updatePause(s);
            return;
        case MessageKind::Minimised:
        case MessageKind::Restored:
            s.minimised = m.kind == MessageKind::Minimised;
            updatePause(s);
            return;
        case MessageKind::ToggleFullScreen:
            windowMessage(s, m);
            return;
        default:
            break;
    }
    s.queue.push_back(m);
    if (changesGame(m))
        s.messagesHanded.tell(m);
}

// Reads what the source has; key state follows each event as it is read, dispatched or not. While
// the game is paused this returns only once play goes on or the window has been closed, so no frame
// of any of the game's loops runs meanwhile.
void pump() {
    Services& s = services();
    const auto deliver = [&s](const Message& m) { handle(s, m); };
    s.events->pump(deliver);
    while (s.paused && !s.closed) {
        s.events->wait(*s.clock, kPauseWait);
        s.events->pump(deliver);
    }
    s.pumpEnds.tell();
}

}  // namespace

uint32_t peekTickCount() {
    const Services& s = services();
    return (s.paused ? s.pauseStart : s.clock->ticks()) - s.pausedTotal;
}

uint32_t tickCount() {
    const uint32_t ticks = peekTickCount();
    services().tickReads.tell(ticks);
    return ticks;
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
    const bool desktop = hasGraphicalSession();
    if (desktop && SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, caption, text, nullptr) == 0)
        return;
    std::fprintf(stderr, "%s: %s\n", caption, text);
    // SDL's dialog needs the X server's core fonts, or a helper program on Wayland: the game then
    // shows the message itself.
    if (desktop)
        showMessageWindow(caption, text);
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
    Services& s = services();
    s.queue.clear();
    s.keys.clear();
    s.closed = false;
    s.focused = true;
    s.minimised = false;
    updatePause(s);
}

bool isPaused() {
    return services().paused;
}

void onPauseChange(void (*handler)(bool paused)) {
    services().pauseHandler = handler;
}

InputState inputState() {
    const Services& s = services();
    return {s.keys.keys(), s.queue};
}

void restoreInputState(const InputState& state) {
    Services& s = services();
    s.keys.setKeys(state.keys);
    s.queue = state.queue;
}

Observers<uint32_t>& tickReads() {
    return services().tickReads;
}

Observers<const Message&>& messagesHanded() {
    return services().messagesHanded;
}

Observers<>& pumpEnds() {
    return services().pumpEnds;
}

void attachWindow(AttachedWindow* window) {
    services().window = window;
    services().sdlEvents.watchWindow(window ? window->handle() : nullptr);
}

void pumpWindow(const Controls& bindings, const std::function<void(const Message&)>& deliver) {
    Services& s = services();
    s.sdlEvents.read(
        [&s, &deliver](const Message& m) {
            switch (m.kind) {
                case MessageKind::Paint:
                case MessageKind::ToggleFullScreen:
                    windowMessage(s, m);
                    break;
                case MessageKind::KeyDown:
                case MessageKind::KeyUp:
                case MessageKind::Close:
                    deliver(m);
                    break;
                default:
                    break;
            }
        },
        bindings);
}

void waitForWindow(Clock& clock, uint32_t ms) {
    services().sdlEvents.wait(clock, ms);
}

}  // namespace platform
