#include "platform/web/PageClock.h"

#include <emscripten.h>

#include <algorithm>

namespace platform {

namespace {

// Hands control to the browser and comes back as soon as it has run what waits, without the
// 4 ms a chain of zero timeouts is held to.
EM_ASYNC_JS(void, yieldToPage, (), {
    await new Promise(function(resolve) {
        var channel = new MessageChannel();
        channel.port1.onmessage = resolve;
        channel.port2.postMessage(0);
    });
});

}  // namespace

PageClock::PageClock(bool isVirtual, uint32_t start)
    : virtual_(isVirtual), virtualNow_(start), woke_(emscripten_get_now()) {}

uint32_t PageClock::ticks() {
    // Milliseconds since the page started loading; wraps at 2^32 like the desktop's count.
    return virtual_ ? virtualNow_
                    : static_cast<uint32_t>(static_cast<uint64_t>(emscripten_get_now()));
}

void PageClock::sleep(uint32_t ms) {
    busy_ += emscripten_get_now() - woke_;
    if (virtual_)
        virtualNow_ += ms;
    if (fast_) {
        // Every few passes: each hand-over costs the page a task of its own.
        if (++fastSleeps_ % 4 == 0)
            yieldToPage();
    } else {
        // Under Asyncify the whole stack unwinds to the browser and resumes after a timer. A
        // browser's timer fires a millisecond or two late: asked for the pass's rest less what
        // the last sleep overslept, the passes keep their 15 ms on average.
        const double before = emscripten_get_now();
        emscripten_sleep(static_cast<unsigned>(std::max(0.0, ms - late_) + 0.5));
        late_ = std::clamp(late_ + (emscripten_get_now() - before) - ms, 0.0, kMostLate);
    }
    woke_ = emscripten_get_now();
}

}  // namespace platform
