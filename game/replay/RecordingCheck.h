#pragma once

#include <cstdint>
#include <string>

#include "game/replay/Recording.h"

namespace quelvane {

// Why a recording, read whole, cannot be a game as the game records it: its first state is not a
// new game's, its tick counts do not advance as a clock does, its header says what the rest does
// not, or its controls or its name are none the game writes. Empty when it can be; whether it
// plays to its score is for playing it to tell.
std::string checkRecording(const Recording& recording);

// A name as the name prompt types it: Latin-1, printable, no longer than the prompt lets it be.
bool typableName(const std::string& name);

// Four hours of play: more is no game a player plays at one sitting, and bounds the time a
// replay takes to check.
inline constexpr uint32_t kLongestGame = 4 * 3600 * 1000;

// The most passes a recorded game runs while its passes' tick counts span passSpan milliseconds.
uint64_t mostPasses(uint32_t passSpan);

}  // namespace quelvane
