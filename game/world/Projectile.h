#pragma once

#include <cstdint>

namespace quelvane {

class Display;

// A shot of the player's: it moves, draws and erases itself, and tests itself against the aliens.
class Projectile {
  public:
    virtual ~Projectile() = default;

    // Moves one frame; false when the projectile is to be deleted.
    virtual bool update(Display& display) = 0;
    virtual void draw(Display& display) = 0;
    // Fills the projectile's whole sprite-sheet box with the erase colour.
    virtual void erase(Display& display);
    // Damages the first alien the projectile overlaps, removing it when destroyed; true on a hit.
    virtual bool hitAliens(Display& display);

    float x = 0;
    float y = 0;
    int32_t damage = 0;
    int32_t frameCount = 1;  // animation frames stacked in the sprite sheet
    int32_t width = 0;
    int32_t sheetHeight = 0;  // one frame, and the box that hits, is sheetHeight / frameCount high
};

}  // namespace quelvane
