#include "platform/WatchControls.h"

#include <algorithm>

#include "platform/AttachedWindow.h"
#include "platform/Message.h"
#include "platform/Platform.h"
#include "platform/VirtualKeys.h"

namespace platform {

namespace {
// The longest one wait lasts before the watcher's keys are read again.
constexpr uint32_t kLongestWait = 50;
}  // namespace

WatchControls::WatchControls(AttachedWindow* window, Clock* realTime)
    : window_(window), clock_(realTime ? realTime : &systemClock_), bindings_(controls()) {}

void WatchControls::poll() {
    pumpWindow(bindings_, [this](const Message& m) { handle(m); });
}

void WatchControls::handle(const Message& m) {
    if (m.kind == MessageKind::Close) {
        ended_ = true;
        return;
    }
    const bool down = m.kind == MessageKind::KeyDown;
    switch (m.key) {
        case vk::kSpace:
            if (down && !m.repeat)
                pause(!paused_);
            break;
        case vk::kRight:
        case 'F':
            fastForward(down);
            break;
        case vk::kEscape:
            ended_ = ended_ || down;
            break;
        default:
            break;
    }
}

void WatchControls::pause(bool paused) {
    paused_ = paused;
    if (window_)
        window_->setPaused(paused);
    gameOrigin_ = lastGameMs_;
    realOrigin_ = clock_->ticks();
}

void WatchControls::fastForward(bool fast) {
    if (fast_ == fast)
        return;
    // The pace starts again from here at the new speed.
    gameOrigin_ = lastGameMs_;
    realOrigin_ = clock_->ticks();
    fast_ = fast;
}

void WatchControls::keepPace(uint32_t gameMs) {
    if (!started_) {
        started_ = true;
        gameOrigin_ = gameMs;
        realOrigin_ = clock_->ticks();
    }
    lastGameMs_ = gameMs;
    for (;;) {
        poll();
        if (ended_)
            return;
        // Differences of the wrapping tick counts, so the pace holds across the wrap.
        const uint32_t due =
            (gameMs - gameOrigin_) / static_cast<uint32_t>(fast_ ? kFastFactor : 1);
        const uint32_t elapsed = clock_->ticks() - realOrigin_;
        if (!paused_ && elapsed >= due)
            return;
        waitForWindow(*clock_, paused_ ? kLongestWait : std::min(due - elapsed, kLongestWait));
    }
}

}  // namespace platform
