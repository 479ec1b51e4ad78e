#include "platform/EventSource.h"

#include <SDL.h>

#include <algorithm>

#include "platform/VirtualKeys.h"

namespace platform {

void SdlEventSource::pump(const Deliver& deliver) {
    if (!SDL_WasInit(SDL_INIT_VIDEO))
        return;
    SDL_Event e;
    while (SDL_PollEvent(&e)) {
        switch (e.type) {
            case SDL_KEYDOWN:
            case SDL_KEYUP: {
                const int key = virtualKeyFromScancode(e.key.keysym.scancode);
                if (key == 0)
                    break;
                Message m;
                m.kind = e.type == SDL_KEYDOWN ? MessageKind::KeyDown : MessageKind::KeyUp;
                m.key = key;
                m.repeat = e.key.repeat != 0;
                deliver(m);
                break;
            }
            case SDL_QUIT:  // the window's close button, Alt+F4, or an interrupt
                deliver(Message{MessageKind::Close});
                break;
            case SDL_MOUSEMOTION:
                deliver(Message{MessageKind::MouseMove, 0, false, e.motion.x, e.motion.y});
                break;
            case SDL_WINDOWEVENT:
                if (e.window.event == SDL_WINDOWEVENT_EXPOSED)
                    deliver(Message{MessageKind::Paint});
                break;
            default:
                break;
        }
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
