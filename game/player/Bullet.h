#pragma once

#include <cstdint>

#include "game/world/Projectile.h"

class AudioSystem;

namespace quelvane {

// The Power Repeater's shot: straight up, and while the player steered when it was fired it keeps
// sliding that way. Cover-fire bullets do not drift and make no sound.
class Bullet final : public Projectile {
  public:
    Bullet(int32_t x, int32_t y, bool drifts);

    bool update(Display& display) override;
    void draw(Display& display) override;

    bool up = false, down = false, left = false, right = false;
    bool drifts;
    int32_t step = 0;
};

void loadBulletAssets(Display& display, AudioSystem& audio);
void releaseBulletAssets();

}  // namespace quelvane
