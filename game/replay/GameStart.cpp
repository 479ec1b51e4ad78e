#include "game/replay/GameStart.h"

#include <cmath>
#include <tuple>
#include <utility>

#include "game/core/WeaponMode.h"
#include "game/gfx/Colour.h"
#include "game/player/NewGame.h"
#include "game/world/Collision.h"

namespace quelvane {

namespace {

// The 640 x 480 screen the game opens, which the ship copies as its field at every new game.
constexpr Rect kField{0, 0, 639, 479};
constexpr Rect kShipAtStart{kShipStartX, kShipStartY, kShipStartX + kShipWidth,
                            kShipStartY + kShipHeight};
constexpr Rect kBarAtStart{181, kField.bottom - 15, 260, kField.bottom - 4};
constexpr uint32_t kBarMagenta = pixelFromColour(rgb(255, 0, 255));
// The death explosion's picture: as the ship was made, or the last cell of the explosion that
// ended the game before.
constexpr Rect kNoCell{0, 0, 0, kExplosionCell};
constexpr Rect kLastCell{6 * kExplosionCell, 0, 7 * kExplosionCell, kExplosionCell};
constexpr int32_t kStarRight = 634;  // stars are placed in columns 0 to 634
constexpr int32_t kSlowestStar = 9;  // tenths of a pixel a frame
constexpr int32_t kFastestStar = 15;

std::string differs(const char* what, int64_t is, int64_t newGame) {
    return std::string(what) + ": " + std::to_string(is) + " where a new game has " +
           std::to_string(newGame);
}

std::string checkShipFlags(const Ship& s) {
    const std::pair<const char*, bool> flags[] = {
        {"left is held", s.leftHeld},
        {"right is held", s.rightHeld},
        {"up is held", s.upHeld},
        {"down is held", s.downHeld},
        {"left is held under right", s.leftSuspended},
        {"right is held under left", s.rightSuspended},
        {"up is held under down", s.upSuspended},
        {"down is held under up", s.downSuspended},
        {"attack is held", s.attackHeld},
        {"the LimitBreak button is held", s.limitBreakHeld},
        {"a LimitBreak is ready", s.limitBreakReady},
        {"a LimitBreak is running", s.limitBreakActive},
        {"the ship is exploding", s.exploding},
        {"the ship has the laser cannons", s.hasLasers},
        {"the ship has the homing missiles", s.hasMissiles}};
    for (const auto& [what, set] : flags) {
        if (set)
            return std::string(what) + ", which is not so in a new game";
    }
    for (size_t i = 0; i < s.combinationOwned.size(); ++i) {
        if (s.combinationOwned[i])
            return "the ship owns combination " + std::to_string(i + kFirstCombination) +
                   ", which is not so in a new game";
    }
    return {};
}

std::string checkShipNumbers(const Ship& s) {
    const std::tuple<const char*, int64_t, int64_t> numbers[] = {
        {"the ship's x", s.x, kShipStartX},
        {"the ship's y", s.y, kShipStartY},
        {"the ship's speed", s.speed, 3},
        {"the weapon", s.weapon, PowerRepeater},
        {"the shields", s.shields, kMaxShields},
        {"the score", s.score, 0},
        {"the LimitBreak meter", s.limitBreakMeter, 0},
        {"the side of the next laser", s.laserSide, -1},
        {"the LimitBreak's step", s.limitBreakStep, 0},
        {"the LimitBreak's kind", s.limitBreakKind, CoverFire},
        {"the repeater's last shot", s.lastRepeaterShot, 0},
        {"the lasers' last shot", s.lastLaserShot, 0},
        {"the missiles' last shot", s.lastMissileShot, 0},
        {"the death explosion's x", s.deathExplosion.x, 0},
        {"the death explosion's y", s.deathExplosion.y, 0},
        {"the death explosion's frame", s.deathExplosion.frame, 0},
        {"the ship's bar colour", s.barColour, kBarMagenta}};
    for (const auto& [what, is, newGame] : numbers) {
        if (is != newGame)
            return differs(what, is, newGame);
    }
    return {};
}

std::string checkShip(const Ship& s) {
    if (std::string flags = checkShipFlags(s); !flags.empty())
        return flags;
    if (std::string numbers = checkShipNumbers(s); !numbers.empty())
        return numbers;
    if (s.previousWeapon < PowerRepeater || s.previousWeapon > LaserLinkedMissiles)
        return "the previous weapon is " + std::to_string(s.previousWeapon) +
               ", which is no weapon";
    if (s.field != kField || s.eraseRect != kShipAtStart || s.barRect != kBarAtStart)
        return "the ship's field, box or LimitBreak bar is not where a new game puts it";
    if (s.deathExplosion.source != kNoCell && s.deathExplosion.source != kLastCell)
        return "the death explosion shows a picture no ended explosion shows";
    return {};
}

// A star as the game places and moves it: in a whole column from 0 to 634, anywhere down the
// field, at one of seven speeds with the grey of its speed.
bool starInField(const Star& star) {
    bool knownSpeed = false;
    for (int32_t tenths = kSlowestStar; tenths <= kFastestStar; ++tenths)
        knownSpeed = knownSpeed || star.speed == static_cast<float>(tenths * 0.1);
    // The grey is a conversion of the speed to a whole number: only of a speed the game has.
    if (!knownSpeed)
        return false;
    const uint8_t grey = starGrey(star.speed);
    return star.x >= 0 && star.x <= kStarRight && star.x == std::trunc(star.x) && star.y >= 0 &&
           star.y <= static_cast<float>(kField.bottom) &&
           star.pixel == pixelFromColour(rgb(grey, grey, grey));
}

std::string checkCarriedOver(const GameStart& start) {
    if (start.stars.size() != kStarCount)
        return std::to_string(start.stars.size()) + " stars where the game has " +
               std::to_string(kStarCount);
    for (size_t i = 0; i < start.stars.size(); ++i) {
        if (!starInField(start.stars[i]))
            return "star " + std::to_string(i) + " is not one the game places or moves";
    }
    if (!start.volleyTimer.started && start.volleyTimer.tick != 0)
        return "the volley timer holds a time before any LimitBreak";
    // No key has code 0: it is never pressed.
    if (start.input.keys[0].down || start.input.keys[0].pressedSinceQuery)
        return "key 0 is pressed, which no key is";
    return {};
}

}  // namespace

std::string checkNewGame(const GameStart& start) {
    if (start.wave != 0)
        return differs("the wave", start.wave, 0);
    if (start.weaponCollected[0] || start.weaponCollected[1])
        return "a weapon item counts as collected, which none is in a new game";
    if (std::string ship = checkShip(start.ship); !ship.empty())
        return ship;
    return checkCarriedOver(start);
}

}  // namespace quelvane
