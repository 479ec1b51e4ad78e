#include "platform/EventSource.h"

#include <SDL.h>

#include <algorithm>

#include "platform/Clock.h"
#include "platform/VirtualKeys.h"

namespace platform {

namespace {

// What the platform makes of a change to the window; Paint when the game need not know more.
MessageKind windowMessage(uint8_t event, bool& known) {
    known = true;
    switch (event) {
        case SDL_WINDOWEVENT_EXPOSED:
        case SDL_WINDOWEVENT_SIZE_CHANGED:
            return MessageKind::Paint;
        case SDL_WINDOWEVENT_FOCUS_LOST:
            return MessageKind::FocusLost;
        case SDL_WINDOWEVENT_FOCUS_GAINED:
            return MessageKind::FocusGained;
        case SDL_WINDOWEVENT_MINIMIZED:
        case SDL_WINDOWEVENT_HIDDEN:
            return MessageKind::Minimised;
        case SDL_WINDOWEVENT_RESTORED:
        case SDL_WINDOWEVENT_SHOWN:
            return MessageKind::Restored;
        default:
            known = false;
            return MessageKind::Paint;
    }
}

}  // namespace

void EventSource::wait(Clock& clock, uint32_t ms) {
    clock.sleep(ms);
}

void SdlEventSource::wait(Clock& clock, uint32_t ms) {
    if (!SDL_WasInit(SDL_INIT_VIDEO)) {
        clock.sleep(ms);
        return;
    }
    input_.wait(ms);
}

namespace {

// A key's message; F11 switches between full screen and a window on every screen of the game.
void deliverKey(const SDL_KeyboardEvent& key, const EventSource::Deliver& deliver) {
    const bool down = key.type == SDL_KEYDOWN;
    if (key.keysym.scancode == SDL_SCANCODE_F11) {
        if (down && !key.repeat)
            deliver(Message{MessageKind::ToggleFullScreen});
        return;
    }
    const int code = virtualKeyFromScancode(key.keysym.scancode);
    if (code == 0)
        return;
    Message m;
    m.kind = down ? MessageKind::KeyDown : MessageKind::KeyUp;
    m.key = code;
    m.repeat = key.repeat != 0;
    deliver(m);
}

}  // namespace

void SdlEventSource::pump(const Deliver& deliver) {
    if (!SDL_WasInit(SDL_INIT_VIDEO))
        return;
    SDL_Event e;
    while (SDL_PollEvent(&e)) {
        switch (e.type) {
            case SDL_KEYDOWN:
            case SDL_KEYUP:
                deliverKey(e.key, deliver);
                break;
            case SDL_QUIT:  // the window's close button, Alt+F4, or an interrupt
                deliver(Message{MessageKind::Close});
                break;
            case SDL_MOUSEMOTION:
                deliver(Message{MessageKind::MouseMove, 0, false, e.motion.x, e.motion.y});
                break;
            case SDL_WINDOWEVENT: {
                bool known = false;
                const MessageKind kind = windowMessage(e.window.event, known);
                if (known)
                    deliver(Message{kind});
                break;
            }
            default:
                controllerEvent(e, deliver);
                break;
        }
    }
}

void SdlEventSource::controllerEvent(const SDL_Event& e, const Deliver& deliver) {
    switch (e.type) {
        case SDL_CONTROLLERDEVICEADDED:
            // Controllers plugged in before the start are announced this way too.
            if (SDL_GameController* controller = SDL_GameControllerOpen(e.cdevice.which)) {
                input_.controllerOpened(
                    SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(controller)),
                    SDL_GameControllerPath(controller));
            }
            break;
        case SDL_CONTROLLERDEVICEREMOVED:
            gamepads_.removed(e.cdevice.which, deliver);
            input_.controllerClosed(e.cdevice.which);
            SDL_GameControllerClose(SDL_GameControllerFromInstanceID(e.cdevice.which));
            break;
        case SDL_CONTROLLERBUTTONDOWN:
        case SDL_CONTROLLERBUTTONUP:
            gamepads_.button(e.cbutton.which, e.cbutton.button, e.type == SDL_CONTROLLERBUTTONDOWN,
                             deliver);
            break;
        case SDL_CONTROLLERAXISMOTION:
            gamepads_.axis(e.caxis.which, e.caxis.axis, e.caxis.value, deliver);
            break;
        default:
            break;
    }
}

void ScriptedEvents::add(uint32_t frame, const Message& message) {
    // Kept in frame order; events of one frame keep the order they were added in.
    const auto at = std::upper_bound(events_.begin() + next_, events_.end(), frame,
                                     [](uint32_t f, const Event& e) { return f < e.frame; });
    events_.insert(at, Event{frame, message});
}

void ScriptedEvents::pump(const Deliver& deliver) {
    while (next_ < events_.size() && events_[next_].frame <= frame_)
        deliver(events_[next_++].message);
}

}  // namespace platform
