#pragma once

#include <cstdint>

namespace quelvane {

// Seeds the game's random generator, opens the window and starts the game; false, with the reason
// on standard error, when there is no window or the screen cannot be taken over.
bool startGame(uint32_t seed);

// Shuts the game down and closes its window.
void endGame();

}  // namespace quelvane
