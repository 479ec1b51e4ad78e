#pragma once

#include <cstdint>

#include "game/world/Pickup.h"

namespace quelvane {

// A LimitBreak ready at once.
class FreeLimitBreak final : public Pickup {
  public:
    FreeLimitBreak(int32_t x, int32_t y);
    void draw(Display& display) override;
    void apply() override;
};

void loadFreeLimitBreakAssets(Display& display);
void releaseFreeLimitBreakAssets();

}  // namespace quelvane
