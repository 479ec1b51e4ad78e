#pragma once

#include "tools/assetgen/Image.h"

namespace assetgen {

Image shieldPickup();    // shields.bmp, 23 x 28: a blue shield with a glowing cross
Image freeLimitBreak();  // freelb.bmp, 21 x 23: a magenta crystal struck by a lightning bolt
// upg_laser.bmp, 32 x 32: a red pod with twin laser bolts.
Image laserUpgrade();
// upg_rocket.bmp, 32 x 32: a green pod carrying a homing missile (the missile picture, upright).
Image rocketUpgrade(const Image& missile);

}  // namespace assetgen
