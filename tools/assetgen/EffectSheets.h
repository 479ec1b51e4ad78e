#pragma once

#include "tools/assetgen/Image.h"

namespace assetgen {

// rocket.bmp, 21 x 792: 36 frames of 21 x 22, frame h the missile turned h x 10 degrees clockwise
// from straight up, with its exhaust flame behind it.
Image rocketFrames(const Image& missile);
// target.bmp, 47 x 470: 10 frames of 47 x 47, four brackets that swing in and close on the target,
// turning from amber to red; the last frame, which the game holds, is the lock.
Image targetMarker();
// explosion.bmp, 462 x 66: 7 cells of 66 x 66, a fireball that flashes, grows, and fades to smoke,
// all inside the square (5, 5)-(60, 60).
Image explosionSheet();
// r_explosion.bmp, 768 x 64: 12 frames of 64 x 64, the missile's blast: a white flash, a plasma
// shock ring racing outwards, and a fireball that burns down to embers.
Image blastSheet();

}  // namespace assetgen
