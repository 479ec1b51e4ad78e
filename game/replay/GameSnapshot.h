#pragma once

#include <string>

namespace quelvane {

// The whole state a game of play begins in, taken at the start of a pass of the main loop: what
// the last game left behind (the generator, the star field, explosions and alien shots still under
// way, the volley timer, the held number keys, the previous weapon), the ship and the field as the
// title screen set them up, and the keys and messages the platform holds for the game.

// Empty when the state cannot be taken whole: an item, a projectile or a fighter on the field,
// which no game begins with.
std::string captureGame();

// Puts the game back in a captured state; the display, the assets and the sound must have been
// made already. False, changing nothing, for a damaged snapshot.
bool restoreGame(const std::string& snapshot);

}  // namespace quelvane
