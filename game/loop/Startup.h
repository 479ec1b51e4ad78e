#pragma once

namespace quelvane {

// Takes over the screen and makes everything the game keeps for the whole run; needs the window.
void initialiseGame();

// Releases everything initialiseGame made, gives the screen back and destroys the window.
void shutdownGame();

}  // namespace quelvane
