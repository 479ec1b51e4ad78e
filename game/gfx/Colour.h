#pragma once

#include <cstdint>

namespace quelvane {

// Colours of text and lines are COLORREF values 0x00BBGGRR; raw pixel values are XRGB8888 words in
// the display's own format, made from colours by Display::MatchColor.
using ColourRef = uint32_t;

inline constexpr ColourRef kInvalidColour = 0xFFFFFFFF;

constexpr ColourRef rgb(uint8_t r, uint8_t g, uint8_t b) {
    return uint32_t{r} | (uint32_t{g} << 8) | (uint32_t{b} << 16);
}

// The pixel a colour becomes on an XRGB8888 surface.
constexpr uint32_t pixelFromColour(ColourRef c) {
    return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}

constexpr ColourRef colourFromPixel(uint32_t p) {
    return ((p >> 16) & 0xFF) | (p & 0xFF00) | ((p & 0xFF) << 16);
}

// The back surface's pixel values of black, with which every object erases its old place, and of
// yellow, the frame of the LimitBreak bar; matched once at start-up.
extern uint32_t eraseColour;
extern uint32_t barFrameColour;

}  // namespace quelvane
