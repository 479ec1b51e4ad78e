#include "game/world/AlienShot.h"

#include <memory>

#include "audio/AudioSystem.h"
#include "game/core/Geometry.h"
#include "game/core/Random.h"
#include "game/gfx/Colour.h"
#include "game/gfx/Display.h"
#include "game/world/Assets.h"
#include "game/world/Collision.h"
#include "game/world/ObjectLists.h"
#include "game/world/PlayerShip.h"

namespace quelvane {

bool playerDestroyed = false;

namespace {

constexpr double kShotStep = 5.0;
constexpr int32_t kSpread = 10;  // degrees either side of the aim

SurfacePtr sprite;
std::unique_ptr<SoundBuffer> sound;
// Shots outside this are gone: the field as the display reports it.
Rect shotField{0, 0, 639, 479};

}  // namespace

AlienShot::AlienShot(int32_t px, int32_t py)
    : x(static_cast<float>(px)), y(static_cast<float>(py)) {
    const Point ship = playerShip() ? playerShip()->position() : Point{};
    // At the middle of the ship, from the middle of the shot, halved in whole pixels.
    const int32_t shipHalfWidth = kShipWidth / 2, shipHalfHeight = kShipHeight / 2;
    const int32_t shotHalf = kAlienShotSize / 2;
    const auto aimX = static_cast<float>(ship.x + shipHalfWidth);
    const auto aimY = static_cast<float>(ship.y + shipHalfHeight);
    const auto half = static_cast<float>(shotHalf);
    const int32_t angle =
        bearing(x + half, y + half, aimX, aimY) + random(0, 2 * kSpread) - kSpread;
    const Heading h = heading(angle);
    dx = h.dx;
    dy = h.dy;
    playEffect(sound.get());
}

bool AlienShot::update() {
    x = static_cast<float>(x + kShotStep * dx);
    y = static_cast<float>(y + kShotStep * dy);
    if (x < shotField.left - kAlienShotSize || x > shotField.right ||
        y < shotField.top - kAlienShotSize || y > shotField.bottom)
        return false;
    PlayerShip* ship = playerShip();
    if (!ship)
        return true;
    const Point at = ship->position();
    if (!alienShotHitsShip(x, y, at.x, at.y))
        return true;
    if (!ship->applyDamage(1))
        playerDestroyed = true;
    return false;
}

void AlienShot::draw(Display& display) {
    display.DrawSurface(sprite.get(), truncateTowardZero(x), truncateTowardZero(y), nullptr);
}

void AlienShot::erase(Display& display) {
    display.FillRect(eraseColour, truncateTowardZero(x), truncateTowardZero(y),
                     truncateTowardZero(x + kAlienShotSize),
                     truncateTowardZero(y + kAlienShotSize));
}

void clearPlayerDestroyed() {
    playerDestroyed = false;
}

void updateAlienShots(Display& display) {
    for (size_t i = 0; i < alienShots.size();) {
        AlienShot& shot = *alienShots[i];
        if (shot.update()) {
            shot.draw(display);
            ++i;
            continue;
        }
        alienShots.erase(alienShots.begin() + static_cast<std::ptrdiff_t>(i));
        if (playerDestroyed) {
            clearAlienShots();
            return;
        }
    }
}

void eraseAlienShots(Display& display) {
    for (const auto& shot : alienShots)
        shot->erase(display);
}

void clearAlienShots() {
    alienShots.clear();
}

void loadAlienShotAssets(Display& display, AudioSystem& audio) {
    sprite = loadSprite(display, "ashot.bmp");
    shotField = display.GetScreenRect();
    sound = loadSound(audio, "ashot.wav");
}

void releaseAlienShotAssets() {
    sprite.reset();
    sound.reset();
}

}  // namespace quelvane
