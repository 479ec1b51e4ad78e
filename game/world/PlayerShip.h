#pragma once

#include <cstdint>

#include "game/core/WeaponMode.h"

namespace quelvane {

struct Point {
    int32_t x = 0;
    int32_t y = 0;
};

// What the world asks of the ship the human steers. The ship itself lives in the player module,
// above the world, and registers itself here, so that the world never includes it.
class PlayerShip {
  public:
    virtual Point position() const = 0;
    // Takes shield points; true while the ship survives.
    virtual bool applyDamage(int32_t damage) = 0;
    virtual void addScore(int32_t points) = 0;
    // What the items give, at most 30 shield points in all.
    virtual void addShields(int32_t amount) = 0;
    virtual void grantLimitBreak() = 0;
    // 0 the laser cannons, 1 the homing missiles.
    virtual void grantWeapon(int32_t kind) = 0;
    // A combination mode.
    virtual void unlockCombination(WeaponMode mode) = 0;
    // Bit 0 the laser cannons, bit 1 the homing missiles.
    virtual int32_t ownedWeapons() const = 0;
    // Bit k when combination mode k + 4 is unlocked.
    virtual int32_t ownedCombinations() const = 0;

  protected:
    ~PlayerShip() = default;
};

// The registered ship; aliens aim at it, their shots hit it, every hit on an alien scores for it
// and items give it their effects. Null until the player module registers `player`.
PlayerShip* playerShip();
void setPlayerShip(PlayerShip* ship);

}  // namespace quelvane
