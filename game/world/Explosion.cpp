#include "game/world/Explosion.h"

#include "audio/AudioSystem.h"
#include "game/gfx/Colour.h"
#include "game/gfx/Display.h"
#include "game/world/Assets.h"
#include "game/world/ObjectLists.h"

namespace quelvane {

namespace {

constexpr int32_t kFramesPerCell = 5;

SurfacePtr sheet;
std::unique_ptr<SoundBuffer> sound;
// Only the inner part of a cell is ever drawn on; erasing it is enough.
Rect eraseMargins;

}  // namespace

Explosion::Explosion(int32_t x, int32_t y) : x(x), y(y) {}

void Explosion::rewind() {
    frame = 0;
    source.top = 0;
    source.bottom = kExplosionCell;
}

void Explosion::start(int32_t newX, int32_t newY) {
    x = newX;
    y = newY;
    frame = 0;
}

bool Explosion::update() {
    // The sound starts with the first frame shown, not when the explosion is made.
    if (frame == 0)
        playEffect(sound.get());
    if (frame >= kExplosionFrames)
        return false;
    const int32_t cell = frame / kFramesPerCell;
    source.left = kExplosionCell * cell;
    source.right = source.left + kExplosionCell;
    ++frame;
    return true;
}

void Explosion::draw(Display& display) {
    display.DrawSurface(sheet.get(), x, y, &source);
}

void Explosion::erase(Display& display) {
    display.FillRect(eraseColour, x + eraseMargins.left, y + eraseMargins.top,
                     x + eraseMargins.right, y + eraseMargins.bottom);
}

void loadExplosionAssets(Display& display, AudioSystem& audio) {
    sheet = loadSprite(display, "explosion.bmp");
    eraseMargins = {5, 5, 60, 60};
    sound = loadSound(audio, "explosion.wav");
}

void releaseExplosionAssets() {
    sheet.reset();
    sound.reset();
}

void addExplosion(std::unique_ptr<Explosion> explosion) {
    explosions.push_back(std::move(explosion));
}

void updateExplosions(Display& display) {
    walkRemoving(explosions, [&](Explosion& e) {
        if (!e.update())
            return true;
        e.draw(display);
        return false;
    });
}

void eraseExplosions(Display& display) {
    for (const auto& e : explosions)
        e->erase(display);
}

void clearExplosions() {
    explosions.clear();
}

}  // namespace quelvane
