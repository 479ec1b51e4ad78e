#pragma once

#include <cstdint>

class AudioSystem;

namespace quelvane {

class Display;

inline constexpr int32_t kAlienWidth = 41;
inline constexpr int32_t kAlienHeight = 37;
inline constexpr int32_t kAlienHitPoints = 75;

// An enemy craft, kept by value in `aliens`: it wanders from one random point of the field to the
// next and fires aimed shots at the ship.
struct Alien {
    // Full health; its first shot may come at any moment of the next second.
    Alien();

    // Puts the alien at (x, y) with no target yet.
    void place(Display& display, int32_t x, int32_t y);
    // Flies one step towards the target, choosing a new one when there is none, and fires unless
    // the ship has been destroyed.
    void update(Display& display);
    void draw(Display& display);
    // Erases the box and the health bar under it.
    void erase(Display& display);
    // A 40-pixel line under the alien that shrinks from the right; needs the device context.
    void drawHealthBar(Display& display);
    // Takes a hit and scores it for the ship; when it destroys the alien, may leave an item,
    // leaves an explosion and returns false, and the caller removes the alien.
    bool takeDamage(int32_t damage);

    float x = 0;
    float y = 0;
    int32_t targetX = -1;  // -1: no target chosen yet
    int32_t targetY = 0;
    uint32_t lastShotTime = 0;
    int32_t hitPoints = kAlienHitPoints;

  private:
    void tryFire();
};

// The number of aliens in the latest wave: 0 when a game starts.
extern int32_t wave;

// When no alien is left, a wave one larger than the last arrives above the field.
void spawnWave(Display& display);

void loadAlienAssets(Display& display);
void releaseAlienAssets();

}  // namespace quelvane
