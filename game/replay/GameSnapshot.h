#pragma once

#include <string>

namespace quelvane {

// The state a game of play begins in (GameStart), taken at the start of its first pass, kept as
// bytes in a replay.

// Empty when the game is not in a state a game begins in: anything on the field, a projectile or a
// fighter, or a ship or a field that a new game does not set up.
std::string captureGame();

// Why a snapshot cannot begin a game: damaged, or not a new game's state (see checkNewGame). Empty
// when it can. Needs nothing of the running game.
std::string checkSnapshot(const std::string& snapshot);

// Puts the game in a snapshot's state; the display, the assets and the sound must have been made
// already. False, changing nothing, for a snapshot that checkSnapshot refuses.
bool restoreGame(const std::string& snapshot);

}  // namespace quelvane
