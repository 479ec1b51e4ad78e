#pragma once

#include <cstdint>

namespace quelvane {

// Float positions are truncated toward zero whenever they are drawn or tested (-10.7 gives -10).
// A float converts to double exactly, so one version serves both.
constexpr int32_t truncateTowardZero(double v) {
    return static_cast<int32_t>(v);
}

// Directions are whole degrees clockwise from straight up: 90 right, 180 down, 270 left.

struct Heading {
    float dx = 0;
    float dy = 0;
};

// The direction from the first point to the second, 1 to 360 (360 straight up).
int32_t bearing(float x0, float y0, float x1, float y1);

// The unit vector of a direction; any whole number of degrees, also below 0 or above 360.
Heading heading(int32_t degrees);

double distance(float x0, float y0, float x1, float y1);

}  // namespace quelvane
