#pragma once

namespace quelvane {

// The title screen: sets up a new game and returns when Attack is pressed (or the game is to end).
// Attack, F1 and Esc act only 300 ms after it opens and after the help pages return.
void runTitleScreen();

// Shown when the ship's death explosion has ended: the final bottom line under "G A M E   O V E R"
// until Attack (after 500 ms), then the high-score check and the title screen.
void runGameOverScreen();

// The three help pages, each until any key.
void showHelp();

}  // namespace quelvane
