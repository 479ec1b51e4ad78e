#include "game/world/ComboUpgrade.h"

#include <vector>

#include "game/core/Random.h"
#include "game/gfx/Display.h"
#include "game/world/Assets.h"
#include "game/world/PlayerShip.h"

namespace quelvane {

namespace {

SurfacePtr chainedSprite;   // upg_lc
SurfacePtr linkedSprite;    // upg_ll
SurfacePtr repeaterSprite;  // upg_r
SurfacePtr missileSprite;   // upg_m

WeaponMode chooseKind() {
    const PlayerShip* ship = playerShip();
    const int32_t owned = ship ? ship->ownedCombinations() : 0;
    const bool bothWeapons = ship && ship->ownedWeapons() == 3;
    std::vector<WeaponMode> candidates;
    for (int32_t k = 0; k < kCombinationCount; ++k) {
        // The repeater-and-laser modes need only the lasers; the missile modes need both.
        if (!(owned & (1 << k)) && (k < 2 || bothWeapons))
            candidates.push_back(static_cast<WeaponMode>(kFirstCombination + k));
    }
    // The drop is allowed only while a candidate exists; should one not, the first mode stands in.
    if (candidates.empty())
        return RepeaterLaserChained;
    return candidates[static_cast<size_t>(random(0, static_cast<int32_t>(candidates.size()) - 1))];
}

}  // namespace

ComboUpgrade::ComboUpgrade(int32_t x, int32_t y) : Pickup(x, y), kind(chooseKind()) {
    lifetime = 13000;
    width = 10;
    height = 16;
    switch (kind) {
        case RepeaterLaserChained:
            sprite = chainedSprite.get();
            overlay = repeaterSprite.get();
            break;
        case RepeaterLaserLinked:
            sprite = linkedSprite.get();
            overlay = repeaterSprite.get();
            break;
        case RepeaterMissiles:
            sprite = repeaterSprite.get();
            overlay = missileSprite.get();
            break;
        case LaserChainedMissiles:
            sprite = chainedSprite.get();
            overlay = missileSprite.get();
            break;
        default:
            sprite = linkedSprite.get();
            overlay = missileSprite.get();
            break;
    }
}

void ComboUpgrade::draw(Display& display) {
    display.DrawSurface(sprite, x, y, nullptr);
    display.DrawSurface(overlay, x, y, nullptr);
}

void ComboUpgrade::apply() {
    if (PlayerShip* ship = playerShip())
        ship->unlockCombination(kind);
}

void loadComboUpgradeAssets(Display& display) {
    chainedSprite = loadSprite(display, "upg_lc.bmp");
    linkedSprite = loadSprite(display, "upg_ll.bmp");
    repeaterSprite = loadSprite(display, "upg_r.bmp");
    missileSprite = loadSprite(display, "upg_m.bmp");
}

void releaseComboUpgradeAssets() {
    chainedSprite.reset();
    linkedSprite.reset();
    repeaterSprite.reset();
    missileSprite.reset();
}

}  // namespace quelvane
