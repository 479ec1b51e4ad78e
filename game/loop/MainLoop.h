#pragma once

#include <cstdint>

namespace quelvane {

// Frames are at least this many milliseconds apart.
inline constexpr uint32_t kFramePeriod = 15;

// Runs passes until the game is to end; no pass at all when it already is.
void runMainLoop();

// One pass: drain the message queue, run a frame, sleep for what is left of the frame period.
void runLoopPass();

// How long a pass that started at frameStart and has run until now sleeps; right across the wrap of
// the tick count.
uint32_t frameSleep(uint32_t frameStart, uint32_t now);

}  // namespace quelvane
