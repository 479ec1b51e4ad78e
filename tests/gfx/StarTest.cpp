#include "game/gfx/Star.h"

#include <gtest/gtest.h>

#include "game/core/Random.h"
#include "support/DisplayFixture.h"

namespace quelvane {
namespace {

using StarTest = DisplayFixture;

TEST(StarGreyTest, EverySpeedHasItsShade) {
    const uint8_t expected[] = {40, 70, 100, 130, 160, 190, 220};
    for (int tenths = 9; tenths <= 15; ++tenths) {
        EXPECT_EQ(starGrey(static_cast<float>(tenths * 0.1)), expected[tenths - 9]) << tenths;
    }
}

TEST_F(StarTest, StarsAreBornInsideTheirColumnsWithAMatchingShade) {
    seedRandom(12345);
    for (int i = 0; i < 2000; ++i) {
        const Star star(display);
        ASSERT_GE(star.x, 0);
        ASSERT_LE(star.x, 634) << "columns 635 to 639 never hold a star";
        ASSERT_GE(star.y, 0);
        ASSERT_LE(star.y, 436);
        const uint8_t grey = starGrey(star.speed);
        ASSERT_EQ(star.pixel, (uint32_t{grey} << 16) | (uint32_t{grey} << 8) | grey);
    }
}

TEST_F(StarTest, AStarPastTheBottomWrapsToRowZeroInTheSameFrame) {
    Star star(display);
    star.x = 17;
    star.y = 479.5f;
    star.speed = 0.9f;
    ASSERT_TRUE(succeeded(display.Lock()));
    EXPECT_TRUE(star.Move(display));
    display.Unlock();
    EXPECT_EQ(star.y, 0.0f);
    EXPECT_EQ(backPixel(17, 0), star.pixel);

    ASSERT_TRUE(succeeded(display.Lock()));
    EXPECT_TRUE(star.Erase(display));
    display.Unlock();
    EXPECT_EQ(backPixel(17, 0), 0u);

    // Outside a lock the star still moves but plots nothing.
    EXPECT_FALSE(star.Move(display));
    EXPECT_FLOAT_EQ(star.y, 0.9f);
    EXPECT_EQ(countPixels(star.pixel, 0, 0, 640, 480), 0);
}

}  // namespace
}  // namespace quelvane
