#pragma once

#include <vector>

#include "game/gfx/Star.h"

namespace quelvane {

// The stars behind the play: made at start-up, moved every frame, kept by a saved game.
inline constexpr int kStarCount = 150;
inline std::vector<Star> starField;

}  // namespace quelvane
