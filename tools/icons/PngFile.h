#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace icons {

// Writes ARGB8888 pixels (rows top to bottom) as an 8-bit RGBA PNG file, uncompressed: icons are
// small, and no compression library is needed. False when the file cannot be written.
bool writePng(const std::string& path, int width, int height, const std::vector<uint32_t>& argb);

// The picture grown by a whole factor, each pixel a factor x factor square.
std::vector<uint32_t> enlarge(const std::vector<uint32_t>& argb, int width, int height, int factor);

}  // namespace icons
