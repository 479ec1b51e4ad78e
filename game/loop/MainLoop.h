#pragma once

#include <cstdint>

namespace quelvane {

// Runs passes until the game is to end; no pass at all when it already is.
void runMainLoop();

// One pass: drain the message queue, run a frame, sleep for what is left of the frame period.
void runLoopPass();

// The title screen set up a new game: the next pass of the main loop is its first, and tells that
// the game starts.
void noteNewGame();

}  // namespace quelvane
