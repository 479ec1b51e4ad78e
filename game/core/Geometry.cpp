#include "game/core/Geometry.h"

#include <cmath>

#include "game/core/PortableMath.h"

namespace quelvane {

namespace {

// atan in degrees; a positive number over zero counts as +infinity, which gives 90.
double deg(double v) {
    return portable::atan(v) * 57.29577951308232;
}

// The quotient is taken in single precision, as the coordinates are.
double ratio(float num, float den) {
    if (den == 0)
        return num == 0 ? 0.0 : INFINITY;
    return num / den;
}

}  // namespace

int32_t bearing(float x0, float y0, float x1, float y1) {
    // By quadrant; the truncation rounds towards the larger bearing on the right-up and left-down
    // quarters and towards the smaller on the other two.
    if (x1 > x0 && y1 < y0)
        return 90 - truncateTowardZero(deg(ratio(y0 - y1, x1 - x0)));
    if (x1 > x0)
        return truncateTowardZero(deg(ratio(y1 - y0, x1 - x0)) + 90);
    if (y1 < y0)
        return truncateTowardZero(deg(ratio(y0 - y1, x0 - x1)) + 270);
    return 270 - truncateTowardZero(deg(ratio(y1 - y0, x0 - x1)));
}

Heading heading(int32_t degrees) {
    const double radians = degrees * 0.017453292519943295;
    return {static_cast<float>(portable::sin(radians)), static_cast<float>(-portable::cos(radians))};
}

double distance(float x0, float y0, float x1, float y1) {
    const double dx = static_cast<double>(x1) - x0, dy = static_cast<double>(y1) - y0;
    return std::sqrt(dx * dx + dy * dy);
}

}  // namespace quelvane
