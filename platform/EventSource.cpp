#include "platform/EventSource.h"

#include <SDL.h>

#include <algorithm>
#include <optional>

#include "platform/Clock.h"
#include "platform/Controls.h"
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
    // Only the system's clock runs while the display is waited on: a virtual clock's time passes
    // only in its own sleep, which no event may cut short.
    if (!SDL_WasInit(SDL_INIT_VIDEO) || !dynamic_cast<SystemClock*>(&clock)) {
        clock.sleep(ms);
        return;
    }
    input_->wait(ms);
}

namespace {

// A key's message, by the key's place; the full-screen key of bindings (F11 unless the player chose
// another) switches between full screen and a window on every screen of the game. A key-down types
// nothing until its text follows.
std::optional<Message> keyMessage(const SDL_KeyboardEvent& key, const Controls& bindings) {
    const bool down = key.type == SDL_KEYDOWN;
    const int code = virtualKeyFromScancode(key.keysym.scancode);
    if (code != 0 && bindings.actionOf(code) == Action::FullScreen) {
        if (down && !key.repeat)
            return Message{MessageKind::ToggleFullScreen};
        return std::nullopt;
    }
    Message m;
    m.kind = down ? MessageKind::KeyDown : MessageKind::KeyUp;
    m.key = code;
    m.repeat = key.repeat != 0;
    m.typed = 0;
    // A key the game has no code for still counts when it types something, in a name say.
    if (m.key == 0 && !down)
        return std::nullopt;
    return m;
}

// The first character of UTF-8 text as a byte of Latin-1, the game's character set; 0 for a
// character outside it or a control character.
int latin1(const char* utf8) {
    const auto* p = reinterpret_cast<const unsigned char*>(utf8);
    int code = 0;
    if (p[0] < 0x80)
        code = p[0];
    else if ((p[0] & 0xE0) == 0xC0 && (p[1] & 0xC0) == 0x80)
        code = ((p[0] & 0x1F) << 6) | (p[1] & 0x3F);
    return typable(code) ? code : 0;
}

}  // namespace

void SdlEventSource::pump(const Deliver& deliver) {
    read(deliver, controls());
}

void SdlEventSource::read(const Deliver& deliver, const Controls& bindings) {
    if (!SDL_WasInit(SDL_INIT_VIDEO))
        return;
    // SDL tells the text a key types (in the player's layout) right after the key itself: a
    // key-down waits here for it.
    std::optional<Message> keyDown;
    const auto deliverKeyDown = [&] {
        if (keyDown && (keyDown->key != 0 || keyDown->typed != 0))
            deliver(*keyDown);
        keyDown.reset();
    };
    SDL_Event e;
    while (SDL_PollEvent(&e)) {
        if (e.type == SDL_TEXTINPUT) {
            if (keyDown)
                keyDown->typed = latin1(e.text.text);
            deliverKeyDown();
            continue;
        }
        deliverKeyDown();
        switch (e.type) {
            case SDL_KEYDOWN:
            case SDL_KEYUP:
                if (std::optional<Message> m = keyMessage(e.key, bindings)) {
                    if (m->kind == MessageKind::KeyDown)
                        keyDown = m;
                    else
                        deliver(*m);
                }
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
    deliverKeyDown();
}

void SdlEventSource::controllerEvent(const SDL_Event& e, const Deliver& deliver) {
    switch (e.type) {
        case SDL_CONTROLLERDEVICEADDED:
            // Controllers plugged in before the start are announced this way too.
            if (SDL_GameController* controller = SDL_GameControllerOpen(e.cdevice.which)) {
                input_->controllerOpened(
                    SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(controller)),
                    SDL_GameControllerPath(controller));
            }
            break;
        case SDL_CONTROLLERDEVICEREMOVED:
            gamepads_.removed(e.cdevice.which, deliver);
            input_->controllerClosed(e.cdevice.which);
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
