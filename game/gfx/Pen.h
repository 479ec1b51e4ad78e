#pragma once

#include "game/gfx/Colour.h"

namespace quelvane {

// A solid line style, one pixel wide: the game creates one for each line it draws.
struct Pen {
    ColourRef colour = 0;
};

}  // namespace quelvane
