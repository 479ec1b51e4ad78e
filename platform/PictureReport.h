#pragma once

#include <cstdint>

namespace platform {

// For tests that compare the screen with what the game meant to show: when QUELVANE_PAUSED_PICTURE
// names a file, the window writes the picture it shows while paused (the last frame, "Paused" over
// it) there as a 32-bit BMP, replaced whole. A paused picture stays on the screen, so a capture of
// the screen can be taken at leisure.
const char* pausedPictureFile();
void reportPicture(const char* file, const uint32_t* pixels, int width, int height, int pitch);

}  // namespace platform
