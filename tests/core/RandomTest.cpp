#include "game/core/Random.h"

#include <gtest/gtest.h>

#include <array>

namespace quelvane {
namespace {

TEST(RandomTest, TheGeneratorGivesTheLinearCongruentialSequence) {
    seedRandom(1);
    const std::array<int32_t, 5> fromOne = {41, 18467, 6334, 26500, 19169};
    for (int32_t expected : fromOne)
        EXPECT_EQ(nextRandom(), expected);
    seedRandom(0);
    EXPECT_EQ(nextRandom(), 38);
    EXPECT_EQ(nextRandom(), 7719);
    // The state wraps modulo 2^32 and r never leaves 0..32767.
    seedRandom(0xFFFFFFFF);
    for (int i = 0; i < 100000; ++i) {
        const int32_t r = nextRandom();
        ASSERT_GE(r, 0);
        ASSERT_LE(r, 32767);
    }
}

TEST(RandomTest, RandomIsLoPlusTheRemainderOverTheClosedRange) {
    seedRandom(1);
    EXPECT_EQ(random(0, 9), 1);      // 41 % 10
    EXPECT_EQ(random(5, 5), 5);      // any r
    EXPECT_EQ(random(-3, 3), 3);     // 6334 % 7 = 6
    EXPECT_EQ(random(9, 15), 14);    // 26500 % 7 = 5
    EXPECT_EQ(random(0, 634), 119);  // 19169 % 635
}

TEST(RandomTest, AnEmptyRangeGivesItsLowEndAndStillDrawsOnce) {
    seedRandom(1);
    EXPECT_EQ(random(5, 4), 5);  // once a division by zero
    EXPECT_EQ(random(10, 0), 10);
    EXPECT_EQ(random(INT32_MAX, INT32_MIN), INT32_MAX);
    EXPECT_EQ(nextRandom(), 26500) << "each empty range took one number";
    EXPECT_EQ(random(INT32_MIN, INT32_MAX), INT32_MIN + 19169);  // the whole span
}

}  // namespace
}  // namespace quelvane
