#include "game/core/Geometry.h"

#include <gtest/gtest.h>

namespace quelvane {
namespace {

TEST(GeometryTest, BearingFollowsTheCompassAndRoundsByQuadrant) {
    EXPECT_EQ(bearing(100, 100, 100, 50), 360);
    EXPECT_EQ(bearing(100, 100, 150, 100), 90);
    EXPECT_EQ(bearing(100, 100, 100, 150), 180);
    EXPECT_EQ(bearing(100, 100, 50, 100), 270);
    EXPECT_EQ(bearing(100, 100, 150, 60), 52);    // 51.34 rounded up (right and up)
    EXPECT_EQ(bearing(100, 100, 150, 140), 128);  // 128.66 rounded down (right and down)
    EXPECT_EQ(bearing(100, 100, 50, 140), 232);   // 231.34 rounded up (left and down)
    EXPECT_EQ(bearing(100, 100, 50, 60), 308);    // 308.66 rounded down (left and up)
    EXPECT_EQ(bearing(0, 0, 1, -1), 45);
}

TEST(GeometryTest, HeadingIsTheUnitVectorOfAnyBearing) {
    const Heading right = heading(90), down = heading(180);
    EXPECT_NEAR(right.dx, 1, 1e-6);
    EXPECT_NEAR(right.dy, 0, 1e-6);
    EXPECT_NEAR(down.dx, 0, 1e-6);
    EXPECT_NEAR(down.dy, 1, 1e-6);
    const Heading slightlyLeft = heading(-10);
    EXPECT_LT(slightlyLeft.dx, 0);
    EXPECT_LT(slightlyLeft.dy, -0.9f);
    const Heading wrapped = heading(370), plain = heading(10);
    EXPECT_NEAR(wrapped.dx, plain.dx, 1e-6);
    EXPECT_NEAR(wrapped.dy, plain.dy, 1e-6);
    // Bearing and heading agree: following a point's heading leads towards it.
    const Heading toward = heading(bearing(100, 100, 180, 40));
    EXPECT_NEAR(toward.dx, 0.8, 0.02);
    EXPECT_NEAR(toward.dy, -0.6, 0.02);
}

TEST(GeometryTest, DistanceIsEuclidean) {
    EXPECT_DOUBLE_EQ(distance(0, 0, 3, 4), 5.0);
    EXPECT_DOUBLE_EQ(distance(10, 10, 10, 10), 0.0);
    EXPECT_DOUBLE_EQ(distance(-1, -1, 2, 3), 5.0);
}

}  // namespace
}  // namespace quelvane
