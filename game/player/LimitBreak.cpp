// The ship's LimitBreak: charging, the four kinds and the squadrons of reinforcement fighters.
#include "game/player/LimitBreak.h"
#include "game/core/Geometry.h"

#include <memory>

#include "game/core/Random.h"
#include "game/core/WeaponMode.h"
#include "game/gfx/Display.h"
#include "game/gfx/Font.h"
#include "game/player/Bullet.h"
#include "game/player/Rocket.h"
#include "game/player/Ship.h"
#include "game/world/Collision.h"
#include "platform/Platform.h"

namespace quelvane {

VolleyTimer volleyTimer;

namespace {

constexpr int32_t kShieldsThatCharge = 20;  // the meter grows only below this
constexpr uint32_t kCoverFireInterval = 80;
constexpr int32_t kCoverFireBullets = 6;
constexpr int32_t kCoverFireVolleys = 340;
constexpr uint32_t kBarrageInterval = 200;  // more than this between volleys
constexpr int32_t kBarrageRockets = 3;
constexpr int32_t kBarrageVolleys = 22;
constexpr int32_t kSquadronSize = 6;
constexpr int32_t kMessageY = 250;

}  // namespace

LimitBreakKind limitBreakKindFor(WeaponMode weapon) {
    switch (weapon) {
        case LaserChained:
        case LaserChainedMissiles:
            return SquadronS14;
        case LaserLinked:
        case LaserLinkedMissiles:
            return SquadronS42;
        case HomingMissiles:
        case RepeaterMissiles:
            return MissileBarrage;
        default:
            return CoverFire;
    }
}

const char* limitBreakMessage(LimitBreakKind kind) {
    switch (kind) {
        case SquadronS14:
            return "Request for reinforcements acknowledged; Fighter squadron S-14 dispatched.";
        case SquadronS42:
            return "Request for reinforcements acknowledged; Fighter squadron S-42 dispatched.";
        case MissileBarrage:
            return "Targets acquired; Missiles away!";
        default:
            return "Request for cover acknowledged; Laying down pattern of fire from rear.";
    }
}

int32_t limitBreakMessageX(LimitBreakKind kind) {
    switch (kind) {
        case SquadronS14:
        case SquadronS42:
            return 65;
        case MissileBarrage:
            return 205;
        default:
            return 85;
    }
}

void Ship::chargeLimitBreak() {
    if (shields < kShieldsThatCharge && !limitBreakActive && !limitBreakReady)
        limitBreakMeter += kShieldsThatCharge - shields;
    if (limitBreakMeter >= kLimitBreakCharge) {
        limitBreakReady = true;
        limitBreakMeter = 0;
    }
}

void Ship::limitBreakTick(Display& display) {
    if (!volleyTimer.started) {
        volleyTimer.started = true;
        volleyTimer.tick = platform::tickCount();
    }
    // A free LimitBreak that arrives while this one runs is lost.
    limitBreakReady = false;
    // Until the first volley a change of weapon still changes the kind.
    if (limitBreakStep == 0)
        limitBreakKind = limitBreakKindFor(weapon);
    const LimitBreakKind kind = limitBreakKind;

    if (display.GetDC() == SurfaceResult::Ok) {
        display.SelectFont(hudFont.get());
        display.DrawString(limitBreakMessage(kind), limitBreakMessageX(kind), kMessageY, true,
                           rgb(0, 255, 255), 0);
        display.RestoreFont();
        display.ReleaseDC();
    }

    const uint32_t sinceVolley = platform::tickCount() - volleyTimer.tick;
    switch (kind) {
        case CoverFire:
            if (sinceVolley < kCoverFireInterval)
                return;
            // From below the screen, silent and without drift.
            for (int32_t i = 0; i < kCoverFireBullets; ++i)
                projectiles.push_back(
                    std::make_unique<Bullet>(random(0, field.right - 7), 1000, false));
            volleyTimer.tick = platform::tickCount();
            if (++limitBreakStep == kCoverFireVolleys)
                endLimitBreak();
            return;
        case MissileBarrage:
            if (sinceVolley <= kBarrageInterval)
                return;
            for (int32_t i = 0; i < kBarrageRockets; ++i)
                projectiles.push_back(std::make_unique<Rocket>(random(0, field.right - 21), 850));
            volleyTimer.tick = platform::tickCount();
            if (++limitBreakStep == kBarrageVolleys)
                endLimitBreak();
            return;
        default:
            if (limitBreakStep == 0) {
                launchSquadrons(display);
                limitBreakStep = 1;
            }
            updateSquadrons(display);
            return;
    }
}

void Ship::launchSquadrons(Display& display) {
    // Two rows of six below the screen, the right one a ship's height lower, spread over the width.
    const float spacing = static_cast<float>(field.right - kShipWidth) * 0.16666667f;
    const WeaponMode laserMode = limitBreakKind == SquadronS14 ? LaserChained : LaserLinked;
    auto launch = [&](OwningList<Ship>& row, int32_t x, int32_t y) {
        Ship& fighter = *row.emplace_back(std::make_unique<Ship>(false));
        fighter.reset(display, x, y);
        fighter.setDirection(Direction::Up, true);
        fighter.setAttack(true);
        fighter.setDirection(Direction::Left, true);
        fighter.selectWeapon(laserMode);
    };
    for (int32_t i = 0; i < kSquadronSize; ++i) {
        launch(leftSquadron, truncateTowardZero(static_cast<float>(i) * spacing), 1500);
        launch(rightSquadron, truncateTowardZero(static_cast<float>(i + 1) * spacing),
               kShipHeight + 1550);
    }
}

void Ship::updateSquadrons(Display& display) {
    for (size_t i = 0; i < leftSquadron.size() && i < rightSquadron.size(); ++i) {
        leftSquadron[i]->update(display);
        rightSquadron[i]->update(display);
        leftSquadron[i]->draw(display);
        rightSquadron[i]->draw(display);
    }
    if (leftSquadron.empty() || rightSquadron.empty())
        return;
    // Left stays held in every fighter, so Right down turns a row right and Right up turns it back:
    // the rows weave across the screen in opposite directions while they climb.
    auto steer = [](OwningList<Ship>& row, bool right) {
        for (auto& fighter : row)
            fighter->setDirection(Direction::Right, right);
    };
    if (leftSquadron.front()->x <= 0) {
        steer(leftSquadron, true);
        steer(rightSquadron, false);
    } else if (leftSquadron.back()->x >= field.right - kShipWidth) {
        steer(leftSquadron, false);
        steer(rightSquadron, true);
    }
    // Retired once the lower row has left the top by its own height.
    if (rightSquadron.front()->y <= -kShipHeight) {
        leftSquadron.clear();
        rightSquadron.clear();
        endLimitBreak();
    }
}

void Ship::endLimitBreak() {
    limitBreakActive = false;
    limitBreakStep = 0;
}

}  // namespace quelvane
