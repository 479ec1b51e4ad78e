#pragma once

#include <optional>
#include <string>

#include "tools/assetgen/Image.h"

namespace assetgen {

// Text pixel art: lines "c RRGGBB" give each character its colour, a line "---" ends the palette,
// and the rows that follow are the picture, one character per pixel. Lines starting with '#' before
// the rows are comments. Fails with a message naming the line on any unknown character or ragged
// row.
std::optional<Image> parsePixelArt(const std::string& text, std::string& error);
std::optional<Image> loadPixelArt(const std::string& path, std::string& error);

}  // namespace assetgen
