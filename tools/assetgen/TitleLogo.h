#pragma once

#include "tools/assetgen/Image.h"

namespace assetgen {

// title.bmp, 486 x 112: "QUELVANE" in slanted chrome capitals with a dark outline and a blue halo,
// over a thin light streak.
Image titleLogo();

}  // namespace assetgen
