#pragma once

#include "game/world/PlayerShip.h"

namespace quelvane {

// The player module registers the real ship; here a plain one stands at the module's edge, so the
// world's own rules can be tested alone. It keeps what it is given.
struct StillShip final : PlayerShip {
    Point position() const override { return at; }
    bool applyDamage(int32_t damage) override {
        shields -= damage;
        return shields > 0;
    }
    void addScore(int32_t points) override { score += points; }
    void addShields(int32_t amount) override { shields += amount; }
    void grantLimitBreak() override { limitBreak = true; }
    void grantWeapon(int32_t kind) override { weapons |= 1 << kind; }
    void unlockCombination(WeaponMode mode) override {
        combinations |= 1 << (mode - kFirstCombination);
    }
    int32_t ownedWeapons() const override { return weapons; }
    int32_t ownedCombinations() const override { return combinations; }

    Point at{310, 360};
    int32_t shields = 30;
    int32_t score = 0;
    bool limitBreak = false;
    int32_t weapons = 0;
    int32_t combinations = 0;
};

}  // namespace quelvane
