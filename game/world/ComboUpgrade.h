#pragma once

#include <cstdint>

#include "game/core/WeaponMode.h"
#include "game/gfx/Surface.h"
#include "game/world/Pickup.h"

namespace quelvane {

// Unlocks a combination mode, chosen at the drop among those still locked that the ship's weapons
// allow. Its picture is the two weapons' symbols, one over the other.
class ComboUpgrade final : public Pickup {
  public:
    ComboUpgrade(int32_t x, int32_t y);
    void draw(Display& display) override;
    void apply() override;

    WeaponMode kind;  // a combination
    Surface* sprite;
    Surface* overlay;
};

void loadComboUpgradeAssets(Display& display);
void releaseComboUpgradeAssets();

}  // namespace quelvane
