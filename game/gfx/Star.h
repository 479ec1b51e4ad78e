#pragma once

#include <cstdint>

namespace quelvane {

class Display;

// One background star: a single pixel drifting down at one of seven speeds, the faster the
// brighter.
struct Star {
    // A random place and speed; the shade is matched to the display's back surface.
    explicit Star(Display& display);
    // Nowhere, for a saved game to put in its place.
    Star() = default;

    // Both plot into the locked back surface and return PutPixel's result.
    bool Move(Display& display);
    bool Erase(Display& display);

    float x = 0;
    float y = 0;
    float speed = 0;
    uint32_t pixel = 0;
};

// The grey of a star that moves at this speed: 40 for 0.9 up to 220 for 1.5.
uint8_t starGrey(float speed);

}  // namespace quelvane
