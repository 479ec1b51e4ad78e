#pragma once

#include <cstdint>

class AudioSystem;

namespace quelvane {

class Display;

// An alien's aimed shot: it flies straight at where the ship was when it was fired, with a little
// spread, until it leaves the field or hits the ship.
class AlienShot {
  public:
    // Aims at the middle of the ship and sounds the shot.
    AlienShot(int32_t x, int32_t y);
    // A shot already under way, as a saved game had it; silent, and no draw of the generator.
    AlienShot(float x, float y, float dx, float dy) : x(x), y(y), dx(dx), dy(dy) {}

    // Moves one step; false when the shot has left the field or hit the ship.
    bool update();
    void draw(Display& display);
    void erase(Display& display);

    float x;
    float y;
    float dx = 0;
    float dy = 0;
};

// An alien shot has destroyed the ship: aliens hold their fire until the game-over sequence ends.
extern bool playerDestroyed;
void clearPlayerDestroyed();

// Moves, tests and draws every shot in list order; the shot that destroys the ship takes every
// other shot with it.
void updateAlienShots(Display& display);
void eraseAlienShots(Display& display);
void clearAlienShots();

void loadAlienShotAssets(Display& display, AudioSystem& audio);
void releaseAlienShotAssets();

}  // namespace quelvane
