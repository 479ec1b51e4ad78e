// Browser variant of platform/Clock.cpp. The page's clock; a sleep hands control back to the
// browser (the game's loops wait in it, so the page keeps drawing and hearing its events).
#include "platform/Clock.h"

#include <emscripten.h>

#include <cstdint>

namespace platform {

uint32_t SystemClock::ticks() {
    // Milliseconds since the page started loading; wraps at 2^32 like the desktop's count.
    return static_cast<uint32_t>(static_cast<uint64_t>(emscripten_get_now()));
}

void SystemClock::sleep(uint32_t ms) {
    // Under Asyncify the whole stack unwinds to the browser and resumes after a timer.
    emscripten_sleep(ms);
}

}  // namespace platform
