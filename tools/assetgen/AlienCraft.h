#pragma once

#include "tools/assetgen/Image.h"

namespace assetgen {

// alien.bmp, 41 x 37: a purple saucer with a green eye dome, running lights and two pincers
// reaching down towards the player.
Image alienCraft();

}  // namespace assetgen
