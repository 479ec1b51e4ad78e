#include "game/player/Ship.h"

#include <gtest/gtest.h>

#include "game/core/WeaponMode.h"
#include "platform/VirtualKeys.h"
#include "tests/player/PlayerFixture.h"

namespace quelvane {
namespace {

using ShipTest = PlayerFixture;

TEST_F(ShipTest, TheLaterOfTwoOppositeKeysWinsAndTheEarlierComesBack) {
    player.setDirection(Direction::Left, true);
    frame();
    EXPECT_EQ(player.x, 307);
    player.setDirection(Direction::Right, true);
    frame();
    EXPECT_EQ(player.x, 310);
    player.setDirection(Direction::Right, false);
    frame();
    EXPECT_EQ(player.x, 307);
    player.setDirection(Direction::Right, true);
    player.setDirection(Direction::Left, false);  // the earlier key released first
    frame();
    EXPECT_EQ(player.x, 310);
    player.setDirection(Direction::Right, false);
    frame();
    EXPECT_EQ(player.x, 310);

    player.setDirection(Direction::Up, true);
    player.setDirection(Direction::Down, true);
    player.setDirection(Direction::Up, false);
    frame();
    EXPECT_EQ(player.y, 363);
    player.setDirection(Direction::Down, false);
    frame();
    EXPECT_EQ(player.y, 363);
}

TEST_F(ShipTest, TheBoundIsTestedBeforeTheStepSoTheShipOvershootsByUpToTwoPixels) {
    player.x = 1;
    player.setDirection(Direction::Left, true);
    frame(3);
    EXPECT_EQ(player.x, -2);
    player.setDirection(Direction::Left, false);

    player.reset(display, 310, 360);
    player.setDirection(Direction::Right, true);
    player.setDirection(Direction::Up, true);
    frame(200);
    EXPECT_EQ(player.x, 616);
    EXPECT_EQ(player.y, 0);
    player.setDirection(Direction::Up, false);
    player.setDirection(Direction::Down, true);
    frame(200);
    EXPECT_EQ(player.y, 441);
}

TEST_F(ShipTest, NumberKeysPickWeaponsAndChordsPickCombinations) {
    // Without lasers 2 is refused, yet counts as held: 1 next picks the combination.
    player.combinationOwned[RepeaterLaserChained - kFirstCombination] = true;
    numberKeyDown(2);
    EXPECT_EQ(player.weapon, PowerRepeater);
    numberKeyDown(1);
    EXPECT_EQ(player.weapon, RepeaterLaserChained);
    numberKeyUp(2);
    numberKeyUp(1);

    player.hasLasers = player.hasMissiles = true;
    player.combinationOwned.fill(true);
    struct Chord {
        int first, second, mode;
    };
    for (const Chord c : {Chord{1, 3, RepeaterLaserLinked}, Chord{4, 1, RepeaterMissiles},
                          Chord{4, 2, LaserChainedMissiles}, Chord{3, 4, LaserLinkedMissiles},
                          Chord{2, 3, LaserLinked}, Chord{3, 2, LaserChained}}) {
        numberKeyDown(c.first);
        numberKeyDown(c.second);
        EXPECT_EQ(player.weapon, c.mode) << c.first << "+" << c.second;
        numberKeyUp(c.first);
        numberKeyUp(c.second);
    }
    numberKeyDown(4);
    EXPECT_EQ(player.weapon, HomingMissiles);
    numberKeyUp(4);

    // A mode not owned is refused and changes nothing.
    player.combinationOwned.fill(false);
    player.selectWeapon(LaserLinked);
    player.selectWeapon(RepeaterMissiles);
    EXPECT_EQ(player.weapon, LaserLinked);
}

TEST_F(ShipTest, CyclingReachesOnlyOwnedSingleWeapons) {
    player.hasMissiles = true;  // missiles but no lasers: cycling stays on the repeater
    player.previousWeapon = HomingMissiles;
    player.cycleWeapon();
    EXPECT_EQ(player.weapon, PowerRepeater);
    EXPECT_EQ(player.previousWeapon, PowerRepeater);

    player.hasLasers = true;
    std::vector<int32_t> seen;
    for (int i = 0; i < 5; ++i) {
        player.cycleWeapon();
        seen.push_back(player.weapon);
    }
    EXPECT_EQ(seen, (std::vector<int32_t>{1, 2, 3, 0, 1}));
    player.hasMissiles = false;
    player.cycleWeapon();
    player.cycleWeapon();
    EXPECT_EQ(player.weapon, PowerRepeater);  // from 2 without missiles
    player.combinationOwned.fill(true);
    player.selectWeapon(LaserLinkedMissiles);
    player.cycleWeapon();
    EXPECT_EQ(player.weapon, PowerRepeater);
}

TEST_F(ShipTest, ShiftAndAltActOncePerPressHoweverLongTheyAreHeld) {
    player.hasLasers = true;
    key(platform::vk::kShift, true);
    frame(20);
    EXPECT_EQ(player.weapon, LaserChained);
    key(platform::vk::kShift, false);
    key(platform::vk::kShift, true);
    frame(5);
    EXPECT_EQ(player.weapon, LaserLinked);
    key(platform::vk::kAlt, true);
    frame(20);
    EXPECT_EQ(player.weapon, LaserChained);  // swapped back to the previous
}

TEST_F(ShipTest, ResetKeepsTheScoreAndThePreviousWeaponOwnedOrNot) {
    player.hasLasers = true;
    player.selectWeapon(LaserLinked);
    player.selectWeapon(LaserChained);
    player.addScore(120);
    player.reset(display, 310, 360);
    EXPECT_EQ(player.weapon, PowerRepeater);
    EXPECT_FALSE(player.hasLasers);
    EXPECT_EQ(player.getScore(), 120);
    // The new game's first swap goes to the mode previous at the end of the last one, and fires it.
    player.swapWeapon();
    EXPECT_EQ(player.weapon, LaserLinked);
    player.setAttack(true);
    frame();
    EXPECT_EQ(count<LaserBolt>(), 2);
    player.resetScore();
    EXPECT_EQ(player.getScore(), 0);
}

TEST_F(ShipTest, ShieldsAreCappedAndTheLastPointLostExplodesTheShip) {
    player.shields = 29;
    player.addShields(2);
    EXPECT_EQ(player.shields, 30);
    player.addShields(2);
    EXPECT_EQ(player.shields, 30);

    player.shields = 2;
    EXPECT_TRUE(player.applyDamage(1));
    EXPECT_FALSE(player.exploding);
    EXPECT_FALSE(player.applyDamage(1));
    EXPECT_TRUE(player.exploding);
    EXPECT_EQ(player.deathExplosion.x, 290);
    EXPECT_EQ(player.deathExplosion.y, 347);

    // Exploding, the ship neither moves nor fires nor moves its shots.
    player.setDirection(Direction::Left, true);
    player.setAttack(true);
    frame(10);
    EXPECT_EQ(player.x, 310);
    EXPECT_TRUE(player.projectiles.empty());
}

int gameOvers = 0;

TEST_F(ShipTest, TheEndOfTheDeathExplosionRunsTheGameOverSequenceOnce) {
    gameOvers = 0;
    setGameOverHandler([] { ++gameOvers; });
    player.shields = 1;
    player.applyDamage(1);
    playerDestroyed = true;
    int drawn = 0;
    while (player.exploding && drawn < 100) {
        player.draw(display);
        ++drawn;
    }
    setGameOverHandler(nullptr);
    EXPECT_EQ(drawn, 36);  // 35 pictures, then the end
    EXPECT_EQ(gameOvers, 1);
    EXPECT_FALSE(playerDestroyed);
}

}  // namespace
}  // namespace quelvane
