#pragma once

#include <cstdint>

#include "game/gfx/Colour.h"

namespace quelvane {

// The name the bottom line shows for a weapon mode; empty for a mode that does not exist.
const char* weaponLabel(int32_t weapon);

// Green from 20 shield points up, orange from 10, red below.
ColourRef shieldsColour(int32_t shields);

}  // namespace quelvane
