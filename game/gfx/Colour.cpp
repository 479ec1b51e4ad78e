#include "game/gfx/Colour.h"

namespace quelvane {

uint32_t eraseColour = 0;
uint32_t barFrameColour = 0;

}  // namespace quelvane
