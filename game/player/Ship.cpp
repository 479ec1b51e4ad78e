#include "game/player/Ship.h"

#include "game/core/ExitRequest.h"
#include "game/core/WeaponMode.h"
#include "game/gfx/Colour.h"
#include "game/gfx/Display.h"
#include "game/player/Bullet.h"
#include "game/player/LaserBolt.h"
#include "game/player/Rocket.h"
#include "game/world/AlienShot.h"
#include "game/world/Assets.h"
#include "game/world/Collision.h"
#include "game/world/ItemDrop.h"
#include "platform/Controls.h"
#include "platform/Platform.h"

namespace quelvane {

Ship player;
std::array<bool, 4> numberKeyHeld{};

namespace {

constexpr uint32_t kRepeaterInterval = 60;  // ms between shots of each weapon
constexpr uint32_t kChainedInterval = 115;
constexpr uint32_t kLinkedInterval = 230;
constexpr uint32_t kMissileInterval = 600;
constexpr int32_t kRightCannon = 16;  // x offset of the right laser cannon from the left one

SurfacePtr sprite;

void endRun() {
    exitRequested = true;
}
void (*gameOver)() = endRun;

// Each weapon waits for its own interval since its last shot; right across the tick's wrap.
bool due(uint32_t& lastShot, uint32_t interval) {
    const uint32_t now = platform::tickCount();
    if (now - lastShot < interval)
        return false;
    lastShot = now;
    return true;
}

// One of the action's polled keys (Shift, Ctrl, Alt, a pad key) was pressed since the previous
// poll: holding it acts once. Each is asked, so that a press of one is not left for a later poll.
bool pressedSincePoll(platform::Action action) {
    bool pressed = false;
    for (const int key : platform::controls().keysOf(action)) {
        if (platform::actsWhenPolled(key))
            pressed = (platform::asyncKeyState(key) & 1) != 0 || pressed;
    }
    return pressed;
}

}  // namespace

Ship::Ship(bool human) : human(human) {
    deathExplosion.rewind();
    // The world aims at the human's ship; fighters are never hit.
    if (human)
        setPlayerShip(this);
}

Ship::~Ship() {
    if (human && playerShip() == this)
        setPlayerShip(nullptr);
}

void Ship::setDirection(Direction direction, bool down) {
    // The earlier of two opposite keys is suspended while the later one is down.
    auto press = [](bool& held, bool& opposite, bool& oppositeSuspended) {
        held = true;
        if (opposite) {
            opposite = false;
            oppositeSuspended = true;
        }
    };
    auto release = [](bool& held, bool& suspended, bool& opposite, bool oppositeSuspended) {
        held = false;
        suspended = false;
        if (oppositeSuspended)
            opposite = true;
    };
    switch (direction) {
        case Direction::Left:
            if (down)
                press(leftHeld, rightHeld, rightSuspended);
            else
                release(leftHeld, leftSuspended, rightHeld, rightSuspended);
            break;
        case Direction::Right:
            if (down)
                press(rightHeld, leftHeld, leftSuspended);
            else
                release(rightHeld, rightSuspended, leftHeld, leftSuspended);
            break;
        case Direction::Up:
            if (down)
                press(upHeld, downHeld, downSuspended);
            else
                release(upHeld, upSuspended, downHeld, downSuspended);
            break;
        case Direction::Down:
            if (down)
                press(downHeld, upHeld, upSuspended);
            else
                release(downHeld, downSuspended, upHeld, upSuspended);
            break;
        default:
            break;
    }
}

bool Ship::owns(WeaponMode mode) const {
    switch (mode) {
        case PowerRepeater:
            return true;
        case LaserChained:
        case LaserLinked:
            return hasLasers;
        case HomingMissiles:
            return hasMissiles;
        default:
            return mode >= kFirstCombination && mode < kFirstCombination + kCombinationCount &&
                   combinationOwned[static_cast<size_t>(mode - kFirstCombination)];
    }
}

void Ship::selectWeapon(WeaponMode mode) {
    if (!human) {
        weapon = mode;
        return;
    }
    if (!owns(mode))
        return;
    previousWeapon = weapon;
    weapon = mode;
}

void Ship::cycleWeapon() {
    previousWeapon = weapon;
    switch (weapon) {
        case PowerRepeater:
            if (hasLasers)
                weapon = LaserChained;
            break;
        case LaserChained:
            weapon = LaserLinked;
            break;
        case LaserLinked:
            weapon = hasMissiles ? HomingMissiles : PowerRepeater;
            break;
        default:
            weapon = PowerRepeater;
            break;
    }
}

void Ship::swapWeapon() {
    std::swap(weapon, previousWeapon);
}

void Ship::reset(Display& display, int32_t newX, int32_t newY) {
    field = display.GetScreenRect();
    exploding = false;
    deathExplosion.start(0, 0);
    hasLasers = hasMissiles = false;
    if (human)
        resetWeaponPickups();
    x = newX;
    y = newY;
    weapon = PowerRepeater;
    attackHeld = limitBreakHeld = limitBreakReady = limitBreakActive = false;
    shields = kMaxShields;
    limitBreakMeter = 0;
    laserSide = -1;
    lastRepeaterShot = lastLaserShot = lastMissileShot = 0;
    leftHeld = rightHeld = upHeld = downHeld = false;
    leftSuspended = rightSuspended = upSuspended = downSuspended = false;
    clearProjectiles();
    combinationOwned.fill(false);
    leftSquadron.clear();
    rightSquadron.clear();
    limitBreakStep = 0;
    limitBreakKind = CoverFire;
    barRect = {181, field.bottom - 15, 260, field.bottom - 4};
    barColour = display.MatchColor(nullptr, rgb(255, 0, 255));
}

void Ship::update(Display& display) {
    if (exploding)
        return;
    // The bound is tested before the step, so the ship may pass it by up to two pixels. Fighters
    // fly where they are steered.
    if (leftHeld && (!human || x > 0))
        x -= speed;
    if (rightHeld && (!human || x < field.right - kShipWidth))
        x += speed;
    if (upHeld && (!human || y > 0))
        y -= speed;
    if (downHeld && (!human || y < field.bottom - kShipHeight))
        y += speed;

    const bool next = pressedSincePoll(platform::Action::NextWeapon);
    if (next && human)
        cycleWeapon();
    const bool previous = pressedSincePoll(platform::Action::PreviousWeapon);
    if (previous && human)
        swapWeapon();

    walkRemoving(projectiles, [&](Projectile& p) { return !p.update(display); });
    if (attackHeld)
        fire();
    chargeLimitBreak();
    if (limitBreakReady && limitBreakHeld)
        limitBreakActive = true;
    if (limitBreakActive)
        limitBreakTick(display);
}

void Ship::erase(Display& display) {
    if (exploding) {
        deathExplosion.erase(display);
    } else {
        eraseRect = {x, y, x + kShipWidth, y + kShipHeight};
        display.FillRect(eraseColour, eraseRect.left, eraseRect.top, eraseRect.right,
                         eraseRect.bottom);
        // The status line at the bottom of the field.
        display.FillRect(eraseColour, 0, field.bottom - 17, field.right, field.bottom - 2);
    }
    for (size_t i = 0; i < leftSquadron.size(); ++i) {
        leftSquadron[i]->erase(display);
        if (i < rightSquadron.size())
            rightSquadron[i]->erase(display);
    }
    for (const auto& p : projectiles)
        p->erase(display);
}

void Ship::draw(Display& display) {
    if (!exploding) {
        display.DrawSurface(sprite.get(), x, y, nullptr);
    } else if (deathExplosion.update()) {
        deathExplosion.draw(display);
    } else {
        exploding = false;
        gameOver();
        clearPlayerDestroyed();
    }
    for (const auto& p : projectiles)
        p->draw(display);
}

bool Ship::applyDamage(int32_t damage) {
    shields -= damage;
    if (shields > 0)
        return true;
    exploding = true;
    // Centres the explosion's 66 x 66 picture on the ship.
    deathExplosion.start(x - 20, y - 13);
    return false;
}

void Ship::addShields(int32_t amount) {
    shields = shields > kMaxShields - amount ? kMaxShields : shields + amount;
}

void Ship::grantWeapon(int32_t kind) {
    if (kind == 0)
        hasLasers = true;
    else if (kind == 1)
        hasMissiles = true;
}

void Ship::unlockCombination(WeaponMode mode) {
    if (mode >= kFirstCombination && mode < kFirstCombination + kCombinationCount)
        combinationOwned[static_cast<size_t>(mode - kFirstCombination)] = true;
}

int32_t Ship::ownedWeapons() const {
    return (hasLasers ? 1 : 0) | (hasMissiles ? 2 : 0);
}

int32_t Ship::ownedCombinations() const {
    int32_t bits = 0;
    for (size_t k = 0; k < combinationOwned.size(); ++k)
        bits |= combinationOwned[k] ? 1 << k : 0;
    return bits;
}

void Ship::fire() {
    switch (weapon) {
        case PowerRepeater:
            fireRepeater();
            break;
        case LaserChained:
            fireLasersChained();
            break;
        case LaserLinked:
            fireLasersLinked();
            break;
        case HomingMissiles:
            fireMissiles();
            break;
        case RepeaterLaserChained:
            fireRepeater();
            fireLasersChained();
            break;
        case RepeaterLaserLinked:
            fireRepeater();
            fireLasersLinked();
            break;
        case RepeaterMissiles:
            fireRepeater();
            fireMissiles();
            break;
        case LaserChainedMissiles:
            fireMissiles();
            fireLasersChained();
            break;
        case LaserLinkedMissiles:
            fireMissiles();
            fireLasersLinked();
            break;
        default:
            break;
    }
}

void Ship::fireRepeater() {
    if (due(lastRepeaterShot, kRepeaterInterval))
        projectiles.push_back(std::make_unique<Bullet>(x, y, true));
}

void Ship::fireLasersChained() {
    if (!due(lastLaserShot, kChainedInterval))
        return;
    projectiles.push_back(std::make_unique<LaserBolt>(laserSide == -1 ? x : x + kRightCannon, y));
    laserSide = static_cast<int16_t>(-laserSide);
}

void Ship::fireLasersLinked() {
    if (!due(lastLaserShot, kLinkedInterval))
        return;
    projectiles.push_back(std::make_unique<LaserBolt>(x, y));
    projectiles.push_back(std::make_unique<LaserBolt>(x + kRightCannon, y));
}

void Ship::fireMissiles() {
    if (due(lastMissileShot, kMissileInterval))
        projectiles.push_back(std::make_unique<Rocket>(x, y));
}

void numberKeyDown(int key) {
    auto held = [](int k) { return numberKeyHeld[static_cast<size_t>(k - 1)]; };
    auto mark = [](int k) { numberKeyHeld[static_cast<size_t>(k - 1)] = true; };
    // A key is marked held whenever its single weapon was asked for, owned or not.
    switch (key) {
        case 1:
            if (held(2)) {
                player.selectWeapon(RepeaterLaserChained);
            } else if (held(3)) {
                player.selectWeapon(RepeaterLaserLinked);
            } else if (!held(4)) {
                player.selectWeapon(PowerRepeater);
                mark(1);
            } else {
                player.selectWeapon(RepeaterMissiles);
            }
            break;
        case 2:
            if (held(1)) {
                player.selectWeapon(RepeaterLaserChained);
            } else if (!held(4)) {
                player.selectWeapon(LaserChained);
                mark(2);
            } else {
                player.selectWeapon(LaserChainedMissiles);
            }
            break;
        case 3:
            if (held(1)) {
                player.selectWeapon(RepeaterLaserLinked);
            } else if (!held(4)) {
                player.selectWeapon(LaserLinked);
                mark(3);
            } else {
                player.selectWeapon(LaserLinkedMissiles);
            }
            break;
        case 4:
            if (held(1)) {
                player.selectWeapon(RepeaterMissiles);
            } else if (held(2)) {
                player.selectWeapon(LaserChainedMissiles);
            } else if (!held(3)) {
                player.selectWeapon(HomingMissiles);
                mark(4);
            } else {
                player.selectWeapon(LaserLinkedMissiles);
            }
            break;
        default:
            break;
    }
}

void numberKeyUp(int key) {
    if (key >= 1 && key <= 4)
        numberKeyHeld[static_cast<size_t>(key - 1)] = false;
}

void setGameOverHandler(void (*handler)()) {
    gameOver = handler ? handler : endRun;
}

void loadShipAssets(Display& display) {
    sprite = loadSprite(display, "ship.bmp");
}

void releaseShipAssets() {
    sprite.reset();
}

}  // namespace quelvane
