#pragma once

#include <cstdint>

namespace platform {

// Writes "Paused" in a black box at the centre of an XRGB8888 picture whose rows are pitch bytes
// apart. The letters are the platform's own, so no font is needed to draw them.
void drawPausedBanner(uint32_t* pixels, int width, int height, int pitch);

}  // namespace platform
