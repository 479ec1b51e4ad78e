#pragma once

namespace quelvane {

// One frame of play: erase everything, move everything, draw everything, present.
void runFrame();

}  // namespace quelvane
