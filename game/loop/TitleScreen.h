#pragma once

namespace quelvane {

// The title screen: sets up a new game and returns when Attack is pressed (or the game is to end).
// Attack, F1 and Esc act only 300 ms after it opens and after the help pages return.
void runTitleScreen();

}  // namespace quelvane
