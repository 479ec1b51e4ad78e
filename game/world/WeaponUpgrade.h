#pragma once

#include <cstdint>

#include "game/gfx/Surface.h"
#include "game/world/Pickup.h"

namespace quelvane {

// The laser cannons, or once they have been collected this game the homing missiles. The kind is
// fixed when the item drops.
class WeaponUpgrade final : public Pickup {
  public:
    WeaponUpgrade(int32_t x, int32_t y);
    void draw(Display& display) override;
    void apply() override;

    int32_t kind;  // 0 the laser cannons, 1 the homing missiles
    Surface* sprite;
};

void loadWeaponUpgradeAssets(Display& display);
void releaseWeaponUpgradeAssets();

}  // namespace quelvane
