#include "game/gfx/Star.h"

#include "game/core/Geometry.h"
#include "game/core/Random.h"
#include "game/gfx/Display.h"

namespace quelvane {

uint8_t starGrey(float speed) {
    // In single precision, as the speed is stored: 0.9f * 300 rounds to exactly 270.
    return static_cast<uint8_t>(static_cast<int32_t>(speed * 300.0f - 230.0f));
}

Star::Star(Display& display)
    : x(static_cast<float>(random(0, 634))),
      y(static_cast<float>(random(0, 436))),
      speed(static_cast<float>(random(9, 15) * 0.1)) {
    const uint8_t grey = starGrey(speed);
    pixel = display.MatchColor(nullptr, rgb(grey, grey, grey));
}

bool Star::Move(Display& display) {
    y += speed;
    if (y > display.GetScreenRect().bottom)
        y = 0;
    return display.PutPixel(truncateTowardZero(x), truncateTowardZero(y), pixel);
}

bool Star::Erase(Display& display) {
    return display.PutPixel(truncateTowardZero(x), truncateTowardZero(y), 0);
}

}  // namespace quelvane
