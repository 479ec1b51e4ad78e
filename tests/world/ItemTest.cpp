#include <gtest/gtest.h>

#include <set>

#include "game/world/ComboUpgrade.h"
#include "game/world/FreeLimitBreak.h"
#include "game/world/ItemDrop.h"
#include "game/world/ShieldPickup.h"
#include "game/world/WeaponUpgrade.h"
#include "tests/world/StillShip.h"
#include "support/WorldFixture.h"

namespace quelvane {
namespace {

class ItemTest : public WorldFixture {
  protected:
    void SetUp() override {
        WorldFixture::SetUp();
        setPlayerShip(&ship);
        resetWeaponPickups();
        loadShieldPickupAssets(display);
        loadFreeLimitBreakAssets(display);
        loadWeaponUpgradeAssets(display);
        loadComboUpgradeAssets(display);
        loadPickupSound(audio);
    }
    void TearDown() override {
        clearPickups();
        releaseShieldPickupAssets();
        releaseFreeLimitBreakAssets();
        releaseWeaponUpgradeAssets();
        releaseComboUpgradeAssets();
        releasePickupSound();
        setPlayerShip(nullptr);
        WorldFixture::TearDown();
    }

    // What a roll drops: F free LimitBreak, C combination, S shields, W weapon, - nothing.
    char dropFor(int32_t roll) {
        const auto item = itemForRoll(roll, 100, 100);
        if (dynamic_cast<FreeLimitBreak*>(item.get()))
            return 'F';
        if (dynamic_cast<ComboUpgrade*>(item.get()))
            return 'C';
        if (dynamic_cast<ShieldPickup*>(item.get()))
            return 'S';
        if (dynamic_cast<WeaponUpgrade*>(item.get()))
            return 'W';
        return item ? '?' : '-';
    }
    std::string dropsAtBoundaries() {
        std::string s;
        for (int32_t roll : {1, 5, 6, 15, 16, 30, 31, 43, 44, 100})
            s += dropFor(roll);
        return s;
    }

    StillShip ship;
};

TEST_F(ItemTest, EachRollBoundaryDropsItsItemWhileItCanStillGiveSomething) {
    // A new game: no weapon owned, so no combination can drop.
    EXPECT_EQ(dropsAtBoundaries(), "FFSSSSWW--");
    ship.weapons = 1;  // lasers
    EXPECT_EQ(dropsAtBoundaries(), "FFCCSSWW--");
    ship.combinations = 0x3;  // both laser combinations, no missiles yet
    EXPECT_EQ(dropsAtBoundaries(), "FFSSSSWW--");
    weaponCollected = {true, true};
    ship.weapons = 3;
    EXPECT_EQ(dropsAtBoundaries(), "FFCCSS----");
    ship.combinations = 0x1F;
    EXPECT_EQ(dropsAtBoundaries(), "FFSSSS----");
}

TEST_F(ItemTest, CombinationsDropOnlyAmongTheLockedModesTheWeaponsAllow) {
    auto kinds = [] {
        std::set<int32_t> seen;
        for (int i = 0; i < 200; ++i)
            seen.insert(ComboUpgrade(0, 0).kind);
        return seen;
    };
    ship.weapons = 1;
    EXPECT_EQ(kinds(), (std::set<int32_t>{4, 5}));
    ship.combinations = 0x1;
    EXPECT_EQ(kinds(), (std::set<int32_t>{5}));
    ship.weapons = 3;
    ship.combinations = 0x5;
    EXPECT_EQ(kinds(), (std::set<int32_t>{5, 7, 8}));

    ComboUpgrade item(0, 0);
    item.apply();
    EXPECT_EQ(ship.combinations, 0x5 | 1 << (item.kind - 4));
}

TEST_F(ItemTest, AWeaponItemKeepsTheKindItDroppedWith) {
    WeaponUpgrade first(0, 0), second(0, 0);
    first.apply();
    EXPECT_TRUE(weaponCollected[0]);
    second.apply();  // dropped before the lasers were collected: lasers again
    EXPECT_EQ(second.kind, 0);
    EXPECT_FALSE(weaponCollected[1]);
    WeaponUpgrade third(0, 0);
    EXPECT_EQ(third.kind, 1);
    third.apply();
    EXPECT_EQ(ship.weapons, 3);
    EXPECT_FALSE(weaponUpgradeAvailable());
    resetWeaponPickups();
    EXPECT_TRUE(weaponUpgradeAvailable());
}

TEST_F(ItemTest, ItemsGiveTheirEffectWhenCollectedAndVanishWhenTheirTimeIsUp) {
    addPickup(std::make_unique<ShieldPickup>(0, 0));
    addPickup(std::make_unique<FreeLimitBreak>(100, 0));
    addPickup(std::make_unique<ComboUpgrade>(200, 0));
    addPickup(std::make_unique<WeaponUpgrade>(300, 0));
    auto left = [] {
        std::string s;
        for (const auto& p : pickups)
            s += std::to_string(p->x / 100);
        return s;
    };
    const int32_t far = 1000;
    clock.advance(12499);
    updatePickups(display, far, far);
    EXPECT_EQ(left(), "0123");
    clock.advance(1);
    updatePickups(display, far, far);
    EXPECT_EQ(left(), "023");  // the free LimitBreak after 12.5 s
    clock.advance(500);
    updatePickups(display, far, far);
    EXPECT_EQ(left(), "03");  // the combination after 13 s
    clock.advance(1999);
    updatePickups(display, far, far);
    EXPECT_EQ(left(), "03");
    clock.advance(1);
    updatePickups(display, far, far);
    EXPECT_EQ(left(), "3");  // the shields after 15 s

    ship.shields = 29;
    updatePickups(display, 300, 0);
    EXPECT_TRUE(pickups.empty());
    EXPECT_EQ(ship.weapons, 1);
    EXPECT_GT(loudness(30), 0);  // the pickup sound

    addPickup(std::make_unique<ShieldPickup>(0, 0));
    addPickup(std::make_unique<FreeLimitBreak>(100, 0));
    updatePickups(display, 0, 0);
    updatePickups(display, 100, 0);
    EXPECT_EQ(ship.shields, 31);  // the ship itself caps its shields
    EXPECT_TRUE(ship.limitBreak);
}

}  // namespace
}  // namespace quelvane
