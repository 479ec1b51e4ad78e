#pragma once

#include <cstdint>

#include "audio/AudioSystem.h"

namespace quelvane {

// Seeds the game's random generator, opens the window, starts the game, sounding on the given
// output, and runs the first title screen; false, with the reason on standard error, when there is
// no window or the screen cannot be taken over.
bool startGame(uint32_t seed, AudioSystem::Output sound = AudioSystem::Output::Device);

// The same without the title screen: the game is ready for its main loop, or for a replay to put
// it in the state its recording began in.
bool openGame(uint32_t seed, AudioSystem::Output sound = AudioSystem::Output::Device);

// Shuts the game down, closes its window and ends the sound.
void endGame();

}  // namespace quelvane
