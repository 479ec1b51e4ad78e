#pragma once

#include <cstdint>

class AudioSystem;

namespace quelvane {

class Display;

// An item a destroyed alien leaves: it waits in place until the ship collects it or it expires.
class Pickup {
  public:
    Pickup(int32_t x, int32_t y);
    virtual ~Pickup() = default;

    virtual void draw(Display& display) = 0;
    // Gives the item's effect to the ship.
    virtual void apply() = 0;

    void erase(Display& display);
    // When the ship at (shipX, shipY) overlaps the item: apply, erase, sound, true.
    bool collect(Display& display, int32_t shipX, int32_t shipY);
    // When the item's lifetime has passed: erase, true.
    bool expired(Display& display);

    uint32_t spawnTime;
    uint32_t lifetime = 0;
    int32_t x;
    int32_t y;
    int32_t width = 0;
    int32_t height = 0;
};

// The one sound of every item collected.
void loadPickupSound(AudioSystem& audio);
void releasePickupSound();

}  // namespace quelvane
