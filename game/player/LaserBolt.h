#pragma once

#include <cstdint>

#include "game/world/Projectile.h"

class AudioSystem;

namespace quelvane {

// A laser cannon's bolt: fast, straight up, two points of damage.
class LaserBolt final : public Projectile {
  public:
    LaserBolt(int32_t x, int32_t y);

    bool update(Display& display) override;
    void draw(Display& display) override;
};

void loadLaserAssets(Display& display, AudioSystem& audio);
void releaseLaserAssets();

}  // namespace quelvane
