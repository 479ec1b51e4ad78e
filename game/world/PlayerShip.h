#pragma once

#include <cstdint>

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

  protected:
    ~PlayerShip() = default;
};

// The registered ship; aliens aim at it, their shots hit it and every hit on an alien scores for
// it. Null until the player module registers `player`.
PlayerShip* playerShip();
void setPlayerShip(PlayerShip* ship);

}  // namespace quelvane
