// The game's own atan, sin and cos against the C library's, which the game used before them: the
// desktop's results must not change where the game can see them (a whole-degree bearing, a
// heading's floats), so that the golden game plays as it always has.
#include "game/core/PortableMath.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>

#include "game/core/Geometry.h"

namespace quelvane {
namespace {

int64_t ulpsApart(double a, double b) {
    int64_t ia, ib;
    std::memcpy(&ia, &a, sizeof ia);
    std::memcpy(&ib, &b, sizeof ib);
    // Ordered as integers across zero.
    if (ia < 0)
        ia = std::numeric_limits<int64_t>::min() - ia;
    if (ib < 0)
        ib = std::numeric_limits<int64_t>::min() - ib;
    return ia > ib ? ia - ib : ib - ia;
}

// The bearing as the game computed it with the C library's atan.
int32_t libraryBearing(float x0, float y0, float x1, float y1) {
    const auto deg = [](float num, float den) {
        const double v = den == 0 ? (num == 0 ? 0.0 : INFINITY) : double{num / den};
        return std::atan(v) * 57.29577951308232;
    };
    if (x1 > x0 && y1 < y0)
        return 90 - truncateTowardZero(deg(y0 - y1, x1 - x0));
    if (x1 > x0)
        return truncateTowardZero(deg(y1 - y0, x1 - x0) + 90);
    if (y1 < y0)
        return truncateTowardZero(deg(y0 - y1, x0 - x1) + 270);
    return 270 - truncateTowardZero(deg(y1 - y0, x0 - x1));
}

TEST(PortableMathTest, StaysWithinOneUnitInTheLastPlaceOfTheLibrary) {
    std::mt19937_64 random(20261208);
    std::uniform_real_distribution<double> exponent(-30, 70), angle(-1.6e6, 1.6e6);  // below the whole turns of huge angles
    for (int i = 0; i < 200000; ++i) {
        const double x = std::exp2(exponent(random)) * (i % 2 ? 1 : -1);
        ASSERT_LE(ulpsApart(portable::atan(x), std::atan(x)), 1) << std::hexfloat << x;
        const double a = angle(random) / (i % 7 + 1);
        ASSERT_LE(ulpsApart(portable::sin(a), std::sin(a)), 1) << std::hexfloat << a;
        ASSERT_LE(ulpsApart(portable::cos(a), std::cos(a)), 1) << std::hexfloat << a;
    }
}

TEST(PortableMathTest, EdgesAreTheLibrarys) {
    constexpr double kInfinity = std::numeric_limits<double>::infinity();
    for (const double x : {0.0, -0.0, 1e-300, 0x1p-27, 0.4375, 1.1875, 2.4375, 0x1p66, 1e300,
                           kInfinity, -kInfinity}) {
        EXPECT_EQ(portable::atan(x), std::atan(x)) << x;
    }
    EXPECT_TRUE(std::isnan(portable::atan(NAN)));
    for (const double x : {0.0, 1e-9, 0.785398, M_PI_2, M_PI, 3 * M_PI_2, 2 * M_PI, -M_PI}) {
        EXPECT_LE(ulpsApart(portable::sin(x), std::sin(x)), 1) << x;
        EXPECT_LE(ulpsApart(portable::cos(x), std::cos(x)), 1) << x;
    }
    EXPECT_TRUE(std::isnan(portable::sin(INFINITY)));
    EXPECT_TRUE(std::isnan(portable::cos(NAN)));
}

TEST(PortableMathTest, HeadingsOfEveryWholeDegreeAreTheLibrarysFloats) {
    for (int32_t degrees = -200000; degrees <= 200000; ++degrees) {
        const double radians = degrees * 0.017453292519943295;
        const Heading h = heading(degrees);
        ASSERT_EQ(h.dx, static_cast<float>(std::sin(radians))) << degrees;
        ASSERT_EQ(h.dy, static_cast<float>(-std::cos(radians))) << degrees;
    }
}

TEST(PortableMathTest, BearingsAreTheLibrarysAcrossTheField) {
    std::mt19937 random(42);
    std::uniform_real_distribution<float> x(-100, 740), y(-100, 580);
    for (int i = 0; i < 1000000; ++i) {
        const float x0 = x(random), y0 = y(random), x1 = x(random), y1 = y(random);
        ASSERT_EQ(bearing(x0, y0, x1, y1), libraryBearing(x0, y0, x1, y1))
            << x0 << " " << y0 << " " << x1 << " " << y1;
    }
}

// Where a one-bit difference could show: ratios close to the tangent of a whole degree, where the
// bearing's truncation turns, in all four quadrants.
TEST(PortableMathTest, BearingsAreTheLibrarysWhereTheyTurnADegree) {
    for (int degree = 0; degree <= 90; ++degree) {
        const float turn = static_cast<float>(std::tan(degree * M_PI / 180));
        float v = turn;
        for (int step = 0; step < 4096 && std::isfinite(v); ++step)
            v = std::nextafter(v, 0.0f);
        for (int step = 0; step < 8192 && std::isfinite(v); ++step, v = std::nextafter(v, INFINITY)) {
            ASSERT_EQ(bearing(0, 0, 1, -v), libraryBearing(0, 0, 1, -v)) << degree << " " << v;
            ASSERT_EQ(bearing(0, 0, 1, v), libraryBearing(0, 0, 1, v)) << degree << " " << v;
            ASSERT_EQ(bearing(0, 0, -1, -v), libraryBearing(0, 0, -1, -v)) << degree << " " << v;
            ASSERT_EQ(bearing(0, 0, -1, v), libraryBearing(0, 0, -1, v)) << degree << " " << v;
        }
    }
}

}  // namespace
}  // namespace quelvane
