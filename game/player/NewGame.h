#pragma once

#include "platform/Observers.h"

namespace quelvane {

class Display;

// Where the player's ship starts every game.
inline constexpr int kShipStartX = 310;
inline constexpr int kShipStartY = 360;

// A new game: the player's ship at its start with no score, and the field cleared. The previous
// weapon and the held number keys carry over from the last game.
void setUpNewGame(Display& display);

// Told at the start of a new game's first pass of play, before it reads the clock or a message: a
// recording begins here.
platform::Observers<>& gameStarts();

}  // namespace quelvane
