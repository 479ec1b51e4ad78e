#include "platform/WatchControls.h"

#include <SDL.h>

#include <algorithm>

#include "platform/AttachedWindow.h"

namespace platform {

namespace {
// The longest one wait lasts before the watcher's keys are read again.
constexpr uint32_t kLongestWait = 50;
}  // namespace

void WatchControls::poll() {
    if (!SDL_WasInit(SDL_INIT_VIDEO))
        return;
    SDL_Event e;
    while (SDL_PollEvent(&e)) {
        if (e.type == SDL_QUIT) {
            ended_ = true;
        } else if (e.type == SDL_KEYDOWN || e.type == SDL_KEYUP) {
            const bool down = e.type == SDL_KEYDOWN;
            switch (e.key.keysym.scancode) {
                case SDL_SCANCODE_SPACE:
                    if (down && !e.key.repeat)
                        pause(!paused_);
                    break;
                case SDL_SCANCODE_RIGHT:
                case SDL_SCANCODE_F:
                    if (fast_ != down) {
                        // The pace starts again from here at the new speed.
                        gameOrigin_ = lastGameMs_;
                        realOrigin_ = SDL_GetTicks64();
                        fast_ = down;
                    }
                    break;
                case SDL_SCANCODE_ESCAPE:
                    ended_ = ended_ || down;
                    break;
                case SDL_SCANCODE_F11:
                    if (down && !e.key.repeat && window_)
                        window_->toggleFullScreen();
                    break;
                default:
                    break;
            }
        } else if (e.type == SDL_WINDOWEVENT && window_ &&
                   (e.window.event == SDL_WINDOWEVENT_EXPOSED ||
                    e.window.event == SDL_WINDOWEVENT_SIZE_CHANGED)) {
            window_->refresh();
        }
    }
}

void WatchControls::pause(bool paused) {
    paused_ = paused;
    if (window_)
        window_->setPaused(paused);
    gameOrigin_ = lastGameMs_;
    realOrigin_ = SDL_GetTicks64();
}

void WatchControls::keepPace(uint32_t gameMs) {
    if (!started_) {
        started_ = true;
        gameOrigin_ = lastGameMs_ = gameMs;
        realOrigin_ = SDL_GetTicks64();
    }
    lastGameMs_ = gameMs;
    for (;;) {
        poll();
        if (ended_)
            return;
        const uint64_t due =
            realOrigin_ + (gameMs - gameOrigin_) / static_cast<uint32_t>(fast_ ? kFastFactor : 1);
        const uint64_t now = SDL_GetTicks64();
        if (!paused_ && now >= due)
            return;
        const uint64_t wait = paused_ ? kLongestWait : std::min<uint64_t>(due - now, kLongestWait);
        SDL_WaitEventTimeout(nullptr, static_cast<int>(wait));
    }
}

}  // namespace platform
