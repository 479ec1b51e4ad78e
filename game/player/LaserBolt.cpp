#include "game/player/LaserBolt.h"

#include <memory>

#include "audio/AudioSystem.h"
#include "game/core/Geometry.h"
#include "game/gfx/Display.h"
#include "game/world/Assets.h"

namespace quelvane {

namespace {
SurfacePtr sprite;
std::unique_ptr<SoundBuffer> sound;
}  // namespace

LaserBolt::LaserBolt(int32_t px, int32_t py) {
    x = static_cast<float>(px + 2.0);
    y = static_cast<float>(py - 10);
    damage = 2;
    width = 5;
    sheetHeight = 20;
    playEffect(sound.get());
}

bool LaserBolt::update(Display& display) {
    y = static_cast<float>(y - 12.0);
    if (y <= -20)
        return false;
    return !hitAliens(display);
}

void LaserBolt::draw(Display& display) {
    display.DrawSurface(sprite.get(), truncateTowardZero(x), truncateTowardZero(y), nullptr);
}

void loadLaserAssets(Display& display, AudioSystem& audio) {
    sprite = loadSprite(display, "laser.bmp");
    sound = loadSound(audio, "laser.wav");
}

void releaseLaserAssets() {
    sprite.reset();
    sound.reset();
}

}  // namespace quelvane
