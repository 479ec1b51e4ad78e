#pragma once

#include <vector>

#include "tools/assetgen/AssetSet.h"

namespace assetgen {

// A review picture of the whole set at 4x on dark grey: every bitmap, each animation frame by
// frame, and the five combination items composed as the game draws them (sprite, then overlay).
Image contactSheet(const std::vector<NamedImage>& bitmaps);

}  // namespace assetgen
