#include "game/world/Alien.h"

#include <gtest/gtest.h>

#include <cmath>

#include "support/WorldFixture.h"
#include "tests/world/StillShip.h"

namespace quelvane {
namespace {

class AlienTest : public WorldFixture {
  protected:
    void SetUp() override {
        WorldFixture::SetUp();
        setPlayerShip(&ship);
    }
    void TearDown() override {
        setPlayerShip(nullptr);
        WorldFixture::TearDown();
    }
    StillShip ship;
};

TEST_F(AlienTest, EachClearedFieldBringsAWaveOneAlienLarger) {
    for (int32_t expected = 1; expected <= 4; ++expected) {
        spawnWave(display);
        ASSERT_EQ(wave, expected);
        ASSERT_EQ(aliens.size(), static_cast<size_t>(expected));
        for (const Alien& a : aliens) {
            EXPECT_GE(a.y, -250);
            EXPECT_LE(a.y, -150);
            EXPECT_GE(a.x, 0);
            EXPECT_LE(a.x, 598);
            EXPECT_EQ(a.targetX, -1);
            EXPECT_EQ(a.hitPoints, 75);
        }
        spawnWave(display);  // not while any is left
        ASSERT_EQ(aliens.size(), static_cast<size_t>(expected));
        aliens.clear();
    }
}

TEST_F(AlienTest, FiresOnlyWhenMoreThanASecondHasPassed) {
    Alien& a = addAlien(300, 100);
    a.lastShotTime = clock.ticks() - 1000;
    for (int i = 0; i < 500; ++i)
        a.update(display);
    EXPECT_TRUE(alienShots.empty());

    a.lastShotTime = clock.ticks() - 1001;
    int frames = 0;
    while (alienShots.empty() && frames < 2000) {
        a.update(display);
        ++frames;
    }
    ASSERT_EQ(alienShots.size(), 1u);
    EXPECT_GT(frames, 1);  // a chance each frame, not a certainty
    EXPECT_EQ(a.lastShotTime, clock.ticks());
    for (int i = 0; i < 500; ++i)
        a.update(display);
    EXPECT_EQ(alienShots.size(), 1u);  // the clock has not moved on

    // Aliens hold their fire while the ship is destroyed.
    a.lastShotTime = clock.ticks() - 5000;
    playerDestroyed = true;
    for (int i = 0; i < 500; ++i)
        a.update(display);
    EXPECT_EQ(alienShots.size(), 1u);
}

TEST_F(AlienTest, AShotFromAboveTheFieldIsHeardButGoneBeforeItIsDrawn) {
    alienShots.push_back(std::make_unique<AlienShot>(300 + 20, -100 + 18));
    EXPECT_GT(loudness(30), 0);
    updateAlienShots(display);
    EXPECT_TRUE(alienShots.empty());
    EXPECT_EQ(countPixels(0, 0, 0, 640, 480), 640 * 480);
}

TEST_F(AlienTest, ShotsFlyAtTheShipAndTheHitThatDestroysItTakesEveryShotAlong) {
    ship.at = {300, 300};
    ship.shields = 2;
    // Straight above the ship's middle, so that the spread of ten degrees still hits.
    alienShots.push_back(std::make_unique<AlienShot>(308, 200));
    alienShots.push_back(std::make_unique<AlienShot>(100, 50));
    alienShots.push_back(std::make_unique<AlienShot>(308, 220));
    const float startY = alienShots[0]->y;
    updateAlienShots(display);
    EXPECT_NEAR(alienShots[0]->y - startY, 5.0, 0.1);

    for (int i = 0; i < 30 && !playerDestroyed; ++i)
        updateAlienShots(display);
    EXPECT_TRUE(playerDestroyed);
    EXPECT_EQ(ship.shields, 0);  // two hits: the first cost a point, the second the ship
    EXPECT_TRUE(alienShots.empty());
}

TEST_F(AlienTest, EveryPointOfDamageScoresAndTheKillLeavesAnExplosion) {
    addAlien(100.7f, 200.3f);
    int hits = 0;
    while (aliens[0].takeDamage(1))
        ++hits;
    EXPECT_EQ(hits, 74);
    EXPECT_EQ(ship.score, 75);
    ASSERT_EQ(explosions.size(), 1u);
    EXPECT_EQ(explosions[0]->x, 88);  // centred on the alien: trunc(100.7 - 12)
    EXPECT_EQ(explosions[0]->y, 186);

    ship.score = 0;
    Alien& lasered = addAlien(0, 0);
    while (lasered.takeDamage(2)) {
    }
    EXPECT_EQ(ship.score, 76);  // the last bolt's point below zero counts too
}

TEST_F(AlienTest, TheHealthBarShrinksAndTurnsOrangeThenRed) {
    struct Case {
        int32_t hitPoints;
        ColourRef colour;
        int length;
    };
    for (const Case c : {Case{75, rgb(0, 255, 0), 40}, Case{50, rgb(0, 255, 0), 26},
                         Case{49, rgb(255, 175, 0), 26}, Case{25, rgb(255, 175, 0), 13},
                         Case{24, rgb(255, 0, 0), 12}}) {
        aliens.clear();
        Alien& a = addAlien(100, 100, c.hitPoints);
        display.Flip(true);
        ASSERT_EQ(display.GetDC(), SurfaceResult::Ok);
        a.drawHealthBar(display);
        display.ReleaseDC();
        const uint32_t pixel = pixelFromColour(c.colour);
        EXPECT_EQ(backPixel(100, 144), pixel) << c.hitPoints;
        // The line ends at trunc(x + 40 x hit points / 75), drawn without its last pixel.
        EXPECT_EQ(countPixels(pixel, 90, 144, 160, 145), c.length) << c.hitPoints;
    }
}

TEST_F(AlienTest, AliensWanderInsideTheFieldOnceTheyHaveEnteredIt) {
    Alien& a = addAlien(300, -200);
    for (int i = 0; i < 400; ++i)
        a.update(display);
    ASSERT_GE(a.y, 0);  // 1.5 pixels a frame brings it in within 400 frames
    for (int i = 0; i < 5000; ++i) {
        const float x = a.x, y = a.y;
        a.update(display);
        ASSERT_NEAR(std::hypot(a.x - x, a.y - y), 1.5, 0.01);
        ASSERT_GE(a.x, -2);
        ASSERT_LE(a.x, 600);
        ASSERT_GE(a.y, -2);
        ASSERT_LE(a.y, 444);
    }
}

}  // namespace
}  // namespace quelvane
