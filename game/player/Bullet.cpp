#include "game/player/Bullet.h"

#include <memory>

#include "audio/AudioSystem.h"
#include "game/core/Geometry.h"
#include "game/gfx/Display.h"
#include "game/player/Ship.h"
#include "game/world/Assets.h"
#include "platform/Platform.h"
#include "platform/VirtualKeys.h"

namespace quelvane {

namespace {

SurfacePtr sprite;
std::unique_ptr<SoundBuffer> sound;

bool arrowDown(int key) {
    return platform::asyncKeyState(key) != 0;
}

}  // namespace

Bullet::Bullet(int32_t px, int32_t py, bool drifts) : drifts(drifts) {
    x = static_cast<float>(px + 9.0);
    y = static_cast<float>(py - 7.0);
    damage = 1;
    width = 7;
    sheetHeight = 7;
    // The drift is the human's steering at the moment of firing, whoever fires.
    up = player.upHeld || arrowDown(platform::vk::kUp);
    down = player.downHeld || arrowDown(platform::vk::kDown);
    left = player.leftHeld || arrowDown(platform::vk::kLeft);
    right = player.rightHeld || arrowDown(platform::vk::kRight);
    step = player.speed;
    if (drifts)
        playEffect(sound.get());
}

bool Bullet::update(Display& display) {
    y = static_cast<float>(y - 7.0);
    if (drifts) {
        const int32_t d = step >> 1;
        if (up)
            y -= static_cast<float>(d);
        if (down)
            y += static_cast<float>(d);
        if (left)
            x -= static_cast<float>(d);
        if (right)
            x += static_cast<float>(d);
    }
    if (y <= -7)
        return false;
    return !hitAliens(display);
}

void Bullet::draw(Display& display) {
    display.DrawSurface(sprite.get(), truncateTowardZero(x), truncateTowardZero(y), nullptr);
}

void loadBulletAssets(Display& display, AudioSystem& audio) {
    sprite = loadSprite(display, "bullet.bmp");
    sound = loadSound(audio, "bullet.wav");
}

void releaseBulletAssets() {
    sprite.reset();
    sound.reset();
}

}  // namespace quelvane
