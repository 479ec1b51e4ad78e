#pragma once

#include <cstdint>
#include <memory>

#include "game/gfx/Rect.h"

class AudioSystem;

namespace quelvane {

class Display;

inline constexpr int32_t kExplosionFrames = 35;
inline constexpr int32_t kExplosionCell = 66;  // the sheet is seven 66 x 66 cells side by side

// The half-second animation, with its sound, of a destroyed alien or of the destroyed ship.
class Explosion {
  public:
    Explosion() = default;
    Explosion(int32_t x, int32_t y);

    // Back to the first cell, where it is.
    void rewind();
    // Back to the first cell at (x, y).
    void start(int32_t x, int32_t y);
    // Shows the next frame (the first one sounds); false once all have been shown.
    bool update();
    void draw(Display& display);
    void erase(Display& display);

    int32_t x = 0;
    int32_t y = 0;
    int32_t frame = 0;  // frames shown so far
    Rect source{0, 0, 0, kExplosionCell};
};

void loadExplosionAssets(Display& display, AudioSystem& audio);
void releaseExplosionAssets();

void addExplosion(std::unique_ptr<Explosion> explosion);
// Advances and draws every explosion in list order, deleting each one that has ended.
void updateExplosions(Display& display);
void eraseExplosions(Display& display);
void clearExplosions();

}  // namespace quelvane
