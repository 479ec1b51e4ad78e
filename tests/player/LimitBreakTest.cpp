#include "game/player/LimitBreak.h"

#include <gtest/gtest.h>

#include "game/core/WeaponMode.h"
#include "tests/player/PlayerFixture.h"

namespace quelvane {
namespace {

using LimitBreakTest = PlayerFixture;

// Updates until the LimitBreak becomes ready; how many it took.
int updatesToCharge() {
    int updates = 0;
    while (!player.limitBreakReady && updates < 100000) {
        player.chargeLimitBreak();
        ++updates;
    }
    return updates;
}

TEST_F(LimitBreakTest, ChargesOnlyBelowTwentyShieldsFasterTheLowerTheyAre) {
    player.shields = 20;
    for (int i = 0; i < 1000; ++i)
        player.chargeLimitBreak();
    EXPECT_EQ(player.limitBreakMeter, 0);
    player.shields = 19;
    EXPECT_EQ(updatesToCharge(), 18000);
    EXPECT_EQ(player.limitBreakMeter, 0);  // the bar is full again once ready
    player.limitBreakReady = false;
    player.shields = 1;
    EXPECT_EQ(updatesToCharge(), 948);
    player.chargeLimitBreak();
    EXPECT_EQ(player.limitBreakMeter, 0);  // no charging while ready
}

TEST_F(LimitBreakTest, HoldingTheButtonStartsItInTheUpdateItBecomesReady) {
    player.shields = 10;
    player.setLimitBreakButton(true);
    player.limitBreakMeter = kLimitBreakCharge - 20;
    frame();
    EXPECT_FALSE(player.limitBreakActive);
    frame();
    EXPECT_TRUE(player.limitBreakActive);
    EXPECT_FALSE(player.limitBreakReady);  // the running LimitBreak took it
    // One that arrives while it runs is lost.
    player.grantLimitBreak();
    frame();
    EXPECT_FALSE(player.limitBreakReady);
}

TEST_F(LimitBreakTest, TheWeaponInUseChoosesTheKind) {
    const LimitBreakKind expected[] = {CoverFire,      SquadronS14, SquadronS42,
                                       MissileBarrage, CoverFire,   CoverFire,
                                       MissileBarrage, SquadronS14, SquadronS42};
    for (int32_t weapon = 0; weapon < 9; ++weapon)
        EXPECT_EQ(limitBreakKindFor(static_cast<WeaponMode>(weapon)), expected[weapon]) << weapon;
}

TEST_F(LimitBreakTest, TheFirstVolleyOfTheRunWaitsALaterOneFiresAtOnce) {
    volleyTimer = {};
    player.grantLimitBreak();
    player.setLimitBreakButton(true);
    frame();  // starts the run's volley timer: no bullets yet
    EXPECT_TRUE(player.limitBreakActive);
    EXPECT_EQ(count<Bullet>(), 0);
    frame(5);  // 75 ms
    EXPECT_EQ(count<Bullet>(), 0);
    frame();  // 90 ms
    EXPECT_EQ(count<Bullet>(), 6);
    for (const auto& p : player.projectiles)
        EXPECT_EQ(p->y, 993);  // from below the screen

    // A new game keeps the timer: its first cover fire, long after, fires at once.
    player.reset(display, 310, 360);
    clock.advance(5000);
    player.grantLimitBreak();
    player.setLimitBreakButton(true);
    frame();
    EXPECT_EQ(count<Bullet>(), 6);

    // The barrage waits more than 200 ms between volleys, three rockets each.
    player.reset(display, 310, 360);
    player.hasMissiles = true;
    player.selectWeapon(HomingMissiles);
    player.grantLimitBreak();
    player.setLimitBreakButton(true);
    clock.advance(1000);
    frame(15);  // volleys at 0 and 210 ms, not at 195
    EXPECT_EQ(count<Rocket>(), 6);
    EXPECT_EQ(player.limitBreakStep, 2);
}

TEST_F(LimitBreakTest, SquadronsLaunchInTwoRowsWeaveUpTheScreenAndRetire) {
    player.hasLasers = true;
    player.selectWeapon(LaserLinked);
    player.grantLimitBreak();
    player.setLimitBreakButton(true);
    frame();
    ASSERT_EQ(player.leftSquadron.size(), 6u);
    ASSERT_EQ(player.rightSquadron.size(), 6u);
    EXPECT_EQ(player.limitBreakKind, SquadronS42);
    std::vector<int32_t> left, right;
    for (int i = 0; i < 6; ++i) {
        // Their first update has moved each row 3 pixels left and up.
        left.push_back(player.leftSquadron[i]->x + 3);
        right.push_back(player.rightSquadron[i]->x + 3);
        EXPECT_EQ(player.leftSquadron[i]->y, 1497);
        EXPECT_EQ(player.rightSquadron[i]->weapon, LaserLinked);
    }
    EXPECT_EQ(left, (std::vector<int32_t>{0, 102, 204, 307, 409, 511}));
    EXPECT_EQ(right, (std::vector<int32_t>{102, 204, 307, 409, 511, 614}));

    // The left row turns right at the left edge, the right row left.
    bool turned = false;
    int updates = 1;
    while (player.limitBreakActive && updates < 1000) {
        const int32_t before = player.leftSquadron[0]->x;
        frame();
        ++updates;
        if (player.limitBreakActive && player.leftSquadron[0]->x > before)
            turned = true;
    }
    EXPECT_TRUE(turned);
    EXPECT_EQ(updates, 544);
    EXPECT_TRUE(player.leftSquadron.empty());
    EXPECT_TRUE(player.rightSquadron.empty());
    EXPECT_EQ(player.limitBreakStep, 0);
}

TEST_F(LimitBreakTest, ADestroyedShipFreezesItsSquadronsUntilTheNextGame) {
    player.hasLasers = true;
    player.selectWeapon(LaserChained);
    player.grantLimitBreak();
    player.setLimitBreakButton(true);
    frame(100);
    const int32_t y = player.leftSquadron[0]->y;
    player.shields = 1;
    player.applyDamage(1);
    frame(50);
    EXPECT_EQ(player.leftSquadron[0]->y, y);
    player.reset(display, 310, 360);
    EXPECT_TRUE(player.leftSquadron.empty());
    EXPECT_FALSE(player.limitBreakActive);
}

}  // namespace
}  // namespace quelvane
