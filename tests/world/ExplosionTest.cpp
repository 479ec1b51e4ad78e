#include "game/world/Explosion.h"

#include <gtest/gtest.h>

#include "support/WorldFixture.h"

namespace quelvane {
namespace {

using ExplosionTest = WorldFixture;

TEST_F(ExplosionTest, ShowsSevenCellsFiveFramesEachThenEnds) {
    Explosion e(100, 100);
    std::vector<int32_t> lefts;
    int shown = 0;
    while (e.update()) {
        ++shown;
        lefts.push_back(e.source.left);
        EXPECT_EQ(e.source.right - e.source.left, 66);
        ASSERT_LT(shown, 100);
    }
    EXPECT_EQ(shown, 35);
    EXPECT_EQ(lefts.front(), 0);
    EXPECT_EQ(lefts[4], 0);
    EXPECT_EQ(lefts[5], 66);
    EXPECT_EQ(lefts[30], 396);
    EXPECT_EQ(lefts.back(), 396);
    EXPECT_FALSE(e.update());  // and stays ended
}

TEST_F(ExplosionTest, SoundsOnlyWithItsFirstFrameAndAgainWhenRestarted) {
    Explosion e(100, 100);
    EXPECT_EQ(loudness(50), 0);  // not when it is made
    e.update();
    EXPECT_GT(loudness(50), 0);
    loudness(5000);  // the sound plays to its end
    for (int i = 1; i < 35; ++i)
        ASSERT_TRUE(e.update());
    EXPECT_EQ(loudness(50), 0);
    e.start(10, 10);
    e.update();
    EXPECT_GT(loudness(50), 0);
}

TEST_F(ExplosionTest, TheListDrawsRunningExplosionsAndDeletesEndedOnes) {
    addExplosion(std::make_unique<Explosion>(100, 100));
    for (int i = 0; i < 20; ++i)
        updateExplosions(display);
    addExplosion(std::make_unique<Explosion>(400, 100));
    for (int i = 0; i < 15; ++i)
        updateExplosions(display);
    ASSERT_EQ(explosions.size(), 2u);  // the first has shown its last frame, not yet ended
    updateExplosions(display);
    ASSERT_EQ(explosions.size(), 1u);
    EXPECT_EQ(explosions[0]->x, 400);

    // Something of the picture was drawn inside the running explosion's square, and erasing it
    // leaves that square black.
    display.Flip(true);
    updateExplosions(display);
    EXPECT_LT(countPixels(0, 400, 100, 466, 166), 66 * 66);
    eraseExplosions(display);
    EXPECT_EQ(countPixels(0, 405, 105, 460, 160), 55 * 55);
}

}  // namespace
}  // namespace quelvane
