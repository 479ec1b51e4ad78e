#include "game/world/Alien.h"

#include <memory>

#include "game/core/Geometry.h"
#include "game/core/Random.h"
#include "game/gfx/Colour.h"
#include "game/gfx/Display.h"
#include "game/world/AlienShot.h"
#include "game/world/Assets.h"
#include "game/world/Explosion.h"
#include "game/world/ItemDrop.h"
#include "game/world/ObjectLists.h"
#include "game/world/PlayerShip.h"
#include "platform/Platform.h"

namespace quelvane {

int32_t wave = 0;

namespace {

constexpr uint32_t kMinShotInterval = 1000;  // ms; an alien fires only after more than this
constexpr int32_t kFireChance = 50;          // then once in this many frames, on average
constexpr double kFlightStep = 1.5;
constexpr double kTargetReached = 2.0;

SurfacePtr sprite;
// Where wander targets are drawn from: the field as the display reports it.
Rect wanderField{0, 0, 639, 479};

}  // namespace

Alien::Alien() : lastShotTime(platform::tickCount() - static_cast<uint32_t>(nextRandom() % 1000)) {}

void Alien::place(Display& display, int32_t newX, int32_t newY) {
    x = static_cast<float>(newX);
    y = static_cast<float>(newY);
    targetX = -1;
    wanderField = display.GetScreenRect();
}

void Alien::update(Display&) {
    if (targetX == -1) {
        targetX = nextRandom() % (wanderField.right - kAlienWidth);
        targetY = nextRandom() % (wanderField.bottom - kAlienHeight);
    }
    const Heading h =
        heading(bearing(x, y, static_cast<float>(targetX), static_cast<float>(targetY)));
    x = static_cast<float>(x + kFlightStep * h.dx);
    y = static_cast<float>(y + kFlightStep * h.dy);
    if (distance(x, y, static_cast<float>(targetX), static_cast<float>(targetY)) < kTargetReached)
        targetX = -1;
    if (!playerDestroyed)
        tryFire();
}

void Alien::tryFire() {
    if (platform::tickCount() - lastShotTime <= kMinShotInterval)
        return;
    if (nextRandom() % kFireChance != 1)
        return;
    // From the middle of the alien.
    alienShots.push_back(std::make_unique<AlienShot>(truncateTowardZero(x) + kAlienWidth / 2,
                                                     truncateTowardZero(y) + kAlienHeight / 2));
    lastShotTime = platform::tickCount();
}

void Alien::draw(Display& display) {
    display.DrawSurface(sprite.get(), truncateTowardZero(x), truncateTowardZero(y), nullptr);
}

void Alien::erase(Display& display) {
    display.FillRect(eraseColour, truncateTowardZero(x - 2), truncateTowardZero(y - 4),
                     truncateTowardZero(x + kAlienWidth + 2),
                     truncateTowardZero(y + kAlienHeight + 8));
}

void Alien::drawHealthBar(Display& display) {
    const float ratio = static_cast<float>(hitPoints) * 0.013333334f;
    Pen pen;
    if (ratio > 0.66f)
        pen.colour = rgb(0, 255, 0);
    else if (ratio > 0.33f)
        pen.colour = rgb(255, 175, 0);
    else
        pen.colour = rgb(255, 0, 0);
    const int32_t barY = truncateTowardZero(y + kAlienHeight + 7);
    display.DrawLine(truncateTowardZero(x), barY, truncateTowardZero(x + 40 * ratio), barY, pen, 0);
}

bool Alien::takeDamage(int32_t damage) {
    hitPoints -= damage;
    // Every point of damage scores, also the part of the last hit below zero.
    if (PlayerShip* ship = playerShip())
        ship->addScore(damage);
    if (hitPoints > 0)
        return true;
    rollDrop(x, y);
    // Centres the 66 x 66 picture on the alien.
    addExplosion(
        std::make_unique<Explosion>(truncateTowardZero(x - 12), truncateTowardZero(y - 14)));
    return false;
}

void spawnWave(Display& display) {
    if (!aliens.empty())
        return;
    ++wave;
    for (int32_t i = 0; i < wave; ++i) {
        Alien& alien = aliens.emplace_back();
        const int32_t y = random(-250, -150);
        const int32_t x = random(0, display.GetScreenRect().right - kAlienWidth);
        alien.place(display, x, y);
    }
}

void loadAlienAssets(Display& display) {
    sprite = loadSprite(display, "alien.bmp");
}

void releaseAlienAssets() {
    sprite.reset();
}

}  // namespace quelvane
