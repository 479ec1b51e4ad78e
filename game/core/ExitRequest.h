#pragma once

namespace quelvane {

// The game is to end: set by a window close or Esc, tested by every loop of the game, never
// cleared.
extern bool exitRequested;

}  // namespace quelvane
