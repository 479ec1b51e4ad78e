#include <gtest/gtest.h>

#include <cmath>

#include "game/core/WeaponMode.h"
#include "platform/VirtualKeys.h"
#include "tests/player/PlayerFixture.h"

namespace quelvane {
namespace {

using WeaponsTest = PlayerFixture;

TEST_F(WeaponsTest, EachWeaponFiresAtOnceInANewGameThenAtItsOwnRate) {
    clock.advance(123456);  // the shot ticks are 0 after a reset, whatever the time
    player.combinationOwned.fill(true);
    player.selectWeapon(RepeaterLaserChained);
    player.setAttack(true);
    frame(25);  // 375 ms at 15 ms a frame, before the first shots leave the screen
    EXPECT_EQ(count<Bullet>(), 7);     // every 60 ms: 0, 60, ... 360
    EXPECT_EQ(count<LaserBolt>(), 4);  // every 115 ms, on 15 ms frames: 0, 120, 240, 360

    player.reset(display, 310, 360);
    player.hasLasers = true;
    player.selectWeapon(LaserLinked);
    player.setAttack(true);
    frame(17);  // to 240 ms: bolts in pairs every 230 ms, on 15 ms frames at 0 and 240
    EXPECT_EQ(count<LaserBolt>(), 4);

    player.reset(display, 310, 360);
    player.hasMissiles = true;
    player.selectWeapon(HomingMissiles);
    player.setAttack(true);
    frame(41);  // 615 ms
    EXPECT_EQ(count<Rocket>(), 2);
}

TEST_F(WeaponsTest, ChainedBoltsAlternateCannonsStartingOnTheLeft) {
    player.hasLasers = true;
    player.selectWeapon(LaserChained);
    player.setAttack(true);
    player.update(display);
    ASSERT_EQ(player.projectiles.size(), 1u);
    EXPECT_EQ(player.projectiles[0]->x, 312);
    EXPECT_EQ(player.projectiles[0]->y, 350);
    clock.advance(115);
    player.update(display);
    ASSERT_EQ(player.projectiles.size(), 2u);
    EXPECT_EQ(player.projectiles[1]->x, 328);
    // Switching laser modes does not restart the shared wait.
    player.selectWeapon(LaserLinked);
    clock.advance(229);
    player.update(display);
    EXPECT_EQ(player.projectiles.size(), 2u);
}

TEST_F(WeaponsTest, BulletsKeepTheDriftOfTheSteeringTheyWereFiredWith) {
    player.setDirection(Direction::Up, true);
    key(platform::vk::kLeft, true);  // an arrow held on the keyboard counts as steering too
    Bullet drifting(310, 360, true);
    player.setDirection(Direction::Up, false);
    key(platform::vk::kLeft, false);
    Bullet straight(310, 360, true);
    EXPECT_EQ(drifting.x, 319);
    EXPECT_EQ(drifting.y, 353);
    drifting.update(display);
    straight.update(display);
    EXPECT_EQ(drifting.x, 318);
    EXPECT_EQ(drifting.y, 345);
    EXPECT_EQ(straight.x, 319);
    EXPECT_EQ(straight.y, 346);

    Bullet edge(0, 0, false);
    edge.y = 0.1f;
    EXPECT_TRUE(edge.update(display));  // at -6.9 it is still in play
    edge.y = 0;
    EXPECT_FALSE(edge.update(display));  // at -7.0 it has left
}

TEST_F(WeaponsTest, ABoltOverTwoAliensDamagesOnlyTheEarlierAndKillsScoreByDamage) {
    addAlien(300, 100);
    addAlien(305, 100);
    LaserBolt bolt(300, 150);  // box 302..307 x 140..160
    EXPECT_FALSE(bolt.update(display));
    EXPECT_EQ(aliens[0].hitPoints, 73);
    EXPECT_EQ(aliens[1].hitPoints, 75);
    EXPECT_EQ(player.getScore(), 2);
}

TEST_F(WeaponsTest, ARocketWithNoTargetClimbsAndIsCutBackAtTenPixelsAFrame) {
    Rocket rocket(310, 360);
    std::vector<float> speeds;
    for (int i = 0; i < 20; ++i) {
        rocket.update(display);
        speeds.push_back(-rocket.vy);
        ASSERT_NEAR(rocket.vx, 0, 1e-6);
    }
    EXPECT_NEAR(speeds[0], 0.6, 1e-5);
    EXPECT_NEAR(speeds[1], 1.2, 1e-5);
    EXPECT_NEAR(speeds[15], 9.6, 1e-4);
    EXPECT_NEAR(speeds[16], 6.0, 1e-4);  // the thrust took it past 10: cut back to 6 at once
    EXPECT_NEAR(speeds[17], 6.6, 1e-4);
}

TEST_F(WeaponsTest, RocketsChooseANewTargetWhenTheNumberOfAliensChanges) {
    addAlien(100, 100);
    addAlien(300, 100);
    addAlien(500, 100);
    Rocket rocket(310, 400);
    rocket.update(display);
    ASSERT_NE(rocket.target, -1);
    rocket.draw(display);
    rocket.draw(display);
    EXPECT_EQ(rocket.marker, 2);

    int retargets = 0;
    for (int i = 0; i < 20; ++i) {
        // Held far below the aliens, so that it never reaches one.
        rocket.x = 310;
        rocket.y = 1000;
        rocket.vx = rocket.vy = 0;
        aliens.erase(aliens.begin());
        addAlien(600, 300);  // same count again: the rocket keeps its target
        rocket.update(display);
        aliens.pop_back();  // one fewer: a new target, the marker starts again
        rocket.update(display);
        EXPECT_EQ(rocket.marker, 0);
        EXPECT_EQ(rocket.alienCountAtTarget, 2);
        addAlien(500, 100);
        rocket.update(display);
        retargets += rocket.alienCountAtTarget == 3;
        rocket.draw(display);
    }
    EXPECT_EQ(retargets, 20);

    // The marker is skipped, not read past the list, when its alien is gone.
    rocket.target = 2;
    aliens.pop_back();
    rocket.draw(display);
}

TEST_F(WeaponsTest, TheBlastDamagesAliensWithinFortyFivePixelsEightTimes) {
    Rocket rocket(0, 0);
    rocket.x = 100;
    rocket.y = 100;
    // The distance is measured from the rocket's corner to each alien's corner, offset (10, 8).
    addAlien(135, 92);                      // 45 pixels
    addAlien(136, 92);                      // 46 pixels
    addAlien(100 - 10 + 27, 100 - 8 + 36);  // 45 exactly on the diagonal: 27, 36
    rocket.exploding = true;
    int updates = 0;
    while (rocket.update(display))
        ++updates;
    EXPECT_EQ(updates, 24);
    EXPECT_EQ(aliens[0].hitPoints, 67);
    EXPECT_EQ(aliens[1].hitPoints, 75);
    EXPECT_EQ(aliens[2].hitPoints, 67);
    EXPECT_EQ(player.getScore(), 16);
}

TEST_F(WeaponsTest, ARocketTouchingNothingBurstsTenSecondsAfterLaunchOffTheScreen) {
    Rocket rocket(310, 360);
    uint32_t flown = 0;
    while (!rocket.exploding && flown < 20000) {
        clock.advance(15);
        flown += 15;
        rocket.update(display);
    }
    EXPECT_EQ(flown, 10005u);  // the first frame at least ten seconds after the launch
    EXPECT_LT(rocket.y, -1000);
    EXPECT_GT(loudness(30), 0);

    // Contact bursts it at once, without damage: the blast does that.
    Rocket contact(310, 360);
    addAlien(300, 320);
    contact.update(display);
    EXPECT_TRUE(contact.exploding);
    EXPECT_EQ(aliens[0].hitPoints, 75);
}

}  // namespace
}  // namespace quelvane
