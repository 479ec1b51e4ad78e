#pragma once

#include <cstdint>

namespace quelvane {

// Runs passes until the game is to end; no pass at all when it already is.
void runMainLoop();

// One pass: drain the message queue, run a frame, sleep for what is left of the frame period.
void runLoopPass();

// The title screen set up a new game: the next pass of the main loop is its first.
void noteNewGame();
// Called at the start of a new game's first pass, before it reads the clock or a message; null for
// none. Replays begin here.
void setGameStartObserver(void (*observer)());

}  // namespace quelvane
