#include "game/player/Rocket.h"

#include <cmath>
#include <memory>

#include "audio/AudioSystem.h"
#include "game/core/Geometry.h"
#include "game/core/Random.h"
#include "game/gfx/Colour.h"
#include "game/gfx/Display.h"
#include "game/world/Assets.h"
#include "game/world/Collision.h"
#include "game/world/ObjectLists.h"
#include "platform/Platform.h"

namespace quelvane {

namespace {

constexpr int32_t kHeadings = 36;  // ten degrees apart
constexpr int32_t kFrameHeight = 22;
constexpr double kThrust = 0.6;
constexpr double kSpeedLimitSquared = 100.0;
constexpr double kCutSpeed = 6.0;
constexpr uint32_t kFuse = 10000;  // ms: a rocket that touches nothing bursts after this
constexpr int32_t kBlastUpdates = 24;
constexpr int32_t kBlastCell = 64;
constexpr int32_t kBlastRadius = 45;
constexpr int32_t kMarkerSide = 47;
constexpr float kLastMarkerFrame = 9.0f;

SurfacePtr rocketSprite;
SurfacePtr markerSprite;
SurfacePtr blastSprite;
std::unique_ptr<SoundBuffer> launchSound;
std::unique_ptr<SoundBuffer> blastSound;

}  // namespace

Rocket::Rocket(int32_t px, int32_t py) : launchTime(platform::tickCount()) {
    x = static_cast<float>(px + 1.0);
    y = static_cast<float>(py - 21.0);
    frameCount = kHeadings;
    width = 21;
    sheetHeight = kHeadings * kFrameHeight;
    playEffect(launchSound.get());
}

bool Rocket::update(Display& display) {
    if (!exploding) {
        fly(display);
        return true;
    }
    if (blastCount >= kBlastUpdates)
        return false;
    blastSource.left = (blastCount >> 1) * kBlastCell;
    blastSource.right = blastSource.left + kBlastCell;
    ++blastCount;
    // Eight damaging passes over the blast's 24 updates.
    if (blastCount % 3 == 0)
        blastAliens();
    return true;
}

void Rocket::fly(Display& display) {
    const int32_t count = static_cast<int32_t>(aliens.size());
    if (count == 0) {
        target = -1;
    } else if (target == -1 || count != alienCountAtTarget) {
        // Any death or new wave sends every rocket after a new random alien.
        target = static_cast<int32_t>(static_cast<uint32_t>(nextRandom()) %
                                      static_cast<uint32_t>(count));
        marker = 0;
        alienCountAtTarget = count;
    }

    if (target != -1) {
        // The point that centres the rocket's frame on the alien; the sizes are halved in whole
        // pixels.
        const Alien& alien = aliens[static_cast<size_t>(target)];
        const int32_t offsetX = kAlienWidth / 2 - width / 2;
        const int32_t offsetY = kAlienHeight / 2 - kFrameHeight / 2;
        const int32_t b = bearing(x, y, alien.x + static_cast<float>(offsetX),
                                  alien.y + static_cast<float>(offsetY));
        const int32_t d = b - 10 * headingIndex;
        // Always turning: the rocket never holds a course while it has a target.
        headingIndex += ((d >= 0 && d < 180) || d < -180) ? 1 : -1;
        headingIndex = (headingIndex + kHeadings) % kHeadings;
    }

    const Heading thrust = heading(10 * headingIndex);
    vx = static_cast<float>(vx + kThrust * thrust.dx);
    vy = static_cast<float>(vy + kThrust * thrust.dy);
    if (double{vx} * vx + double{vy} * vy > kSpeedLimitSquared) {
        const double speed = distance(vx, vy, 0, 0);
        const Heading back = heading(bearing(vx, vy, 0, 0));
        vx = static_cast<float>(vx + back.dx * (speed - kCutSpeed));
        vy = static_cast<float>(vy + back.dy * (speed - kCutSpeed));
    }
    x += vx;
    y += vy;
    if (hitAliens(display) || platform::tickCount() - launchTime >= kFuse)
        burst();
}

void Rocket::burst() {
    exploding = true;
    playEffect(blastSound.get());
}

void Rocket::blastAliens() {
    for (size_t i = 0; i < aliens.size();) {
        Alien& alien = aliens[i];
        const double dx = alien.x - x + 10.0;
        const double dy = alien.y - y + 8.0;
        // Wide integers: a rocket may burst far off the field.
        const auto squares = static_cast<int64_t>(dx * dx) + static_cast<int64_t>(dy * dy);
        const auto reach = static_cast<int64_t>(std::sqrt(static_cast<double>(squares)));
        if (reach <= kBlastRadius && !alien.takeDamage(1)) {
            aliens.erase(aliens.begin() + static_cast<std::ptrdiff_t>(i));
            continue;
        }
        ++i;
    }
}

bool Rocket::hitAliens(Display&) {
    const int32_t boxHeight = sheetHeight / frameCount;
    for (const Alien& alien : aliens) {
        if (projectileOverlapsAlien(x, y, width, boxHeight, alien))
            return true;
    }
    return false;
}

void Rocket::draw(Display& display) {
    if (exploding) {
        display.DrawSurface(blastSprite.get(), truncateTowardZero(x - 21.0),
                            truncateTowardZero(y - 21.0), &blastSource);
        return;
    }
    const Rect frame{0, kFrameHeight * headingIndex, width, kFrameHeight * (headingIndex + 1)};
    display.DrawSurface(rocketSprite.get(), truncateTowardZero(x), truncateTowardZero(y), &frame);
    // The target may have been removed by another shot since this rocket's update.
    if (target == -1 || static_cast<size_t>(target) >= aliens.size())
        return;
    const Alien& alien = aliens[static_cast<size_t>(target)];
    const Rect markerFrame{0, truncateTowardZero(kMarkerSide * marker), kMarkerSide,
                           truncateTowardZero(kMarkerSide * (marker + 1))};
    display.DrawSurface(markerSprite.get(), truncateTowardZero(alien.x - 3.0),
                        truncateTowardZero(alien.y - 5.0), &markerFrame);
    // The marker runs once through its frames and holds the last.
    if (marker < kLastMarkerFrame)
        marker += 1.0f;
}

void Rocket::erase(Display& display) {
    const int32_t left = truncateTowardZero(x), top = truncateTowardZero(y);
    if (exploding)
        display.FillRect(eraseColour, left - 21, top - 21, left + 43, top + 43);
    else
        display.FillRect(eraseColour, left, top, truncateTowardZero(x + 22.0),
                         truncateTowardZero(y + 22.0));
}

void loadRocketAssets(Display& display, AudioSystem& audio) {
    rocketSprite = loadSprite(display, "rocket.bmp");
    markerSprite = loadSprite(display, "target.bmp");
    blastSprite = loadSprite(display, "r_explosion.bmp");
    launchSound = loadSound(audio, "rocket.wav");
    blastSound = loadSound(audio, "r_explosion.wav");
}

void releaseRocketAssets() {
    rocketSprite.reset();
    markerSprite.reset();
    blastSprite.reset();
    launchSound.reset();
    blastSound.reset();
}

}  // namespace quelvane
