#pragma once

#include <cstdint>

#include "game/gfx/Rect.h"
#include "game/world/Projectile.h"

class AudioSystem;

namespace quelvane {

// A homing missile: it turns ten degrees a frame towards a randomly chosen alien, choosing again
// whenever the number of aliens changes, and bursts on contact or after ten seconds, damaging every
// alien near the blast.
class Rocket final : public Projectile {
  public:
    Rocket(int32_t x, int32_t y);

    bool update(Display& display) override;
    void draw(Display& display) override;
    void erase(Display& display) override;
    // Contact with any alien, without damage: the blast does the damage.
    bool hitAliens(Display& display) override;

    int32_t headingIndex = 0;  // sprite frame and direction in tens of degrees, 0 straight up
    int32_t target = -1;       // index into `aliens`; -1 none
    int32_t alienCountAtTarget = 0;
    float marker = 0;  // frame of the target marker, 0 to 9
    int32_t blastCount = 0;
    Rect blastSource{0, 0, 0, 64};
    float vx = 0;
    float vy = 0;
    uint32_t launchTime;
    bool exploding = false;

  private:
    void fly(Display& display);
    void burst();
    void blastAliens();
};

void loadRocketAssets(Display& display, AudioSystem& audio);
void releaseRocketAssets();

}  // namespace quelvane
