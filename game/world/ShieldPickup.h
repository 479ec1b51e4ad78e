#pragma once

#include <cstdint>

#include "game/world/Pickup.h"

namespace quelvane {

// Two shield points, at most 30 in all.
class ShieldPickup final : public Pickup {
  public:
    ShieldPickup(int32_t x, int32_t y);
    void draw(Display& display) override;
    void apply() override;
};

void loadShieldPickupAssets(Display& display);
void releaseShieldPickupAssets();

}  // namespace quelvane
