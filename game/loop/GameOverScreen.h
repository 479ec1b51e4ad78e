#pragma once

namespace quelvane {

// Shown when the ship's death explosion has ended: the final bottom line under "G A M E   O V E R"
// until Attack (after 500 ms), then the high-score check and the title screen.
void runGameOverScreen();

}  // namespace quelvane
