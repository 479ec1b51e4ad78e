#include "game/world/ItemDrop.h"

#include <memory>

#include "game/core/Geometry.h"
#include "game/core/Random.h"
#include "game/world/ComboUpgrade.h"
#include "game/world/FreeLimitBreak.h"
#include "game/world/ObjectLists.h"
#include "game/world/PlayerShip.h"
#include "game/world/ShieldPickup.h"
#include "game/world/WeaponUpgrade.h"

namespace quelvane {

std::array<bool, 2> weaponCollected{};

namespace {

constexpr int32_t kAllCombinations = 0x1F;

}  // namespace

void resetWeaponPickups() {
    weaponCollected.fill(false);
}

bool weaponUpgradeAvailable() {
    return !(weaponCollected[0] && weaponCollected[1]);
}

bool comboUpgradeAvailable() {
    const PlayerShip* ship = playerShip();
    if (!ship)
        return false;
    const int32_t weapons = ship->ownedWeapons(), combinations = ship->ownedCombinations();
    if (weapons == 0 || combinations == kAllCombinations)
        return false;
    // The two repeater-and-laser modes need only the lasers.
    if ((weapons & 1) && (combinations & 0x3) != 0x3)
        return true;
    if (!(weapons & 2))
        return false;
    return (combinations & 0x1C) != 0x1C;
}

void rollDrop(float alienX, float alienY) {
    if (auto item = itemForRoll(random(1, 100), alienX, alienY))
        addPickup(std::move(item));
}

std::unique_ptr<Pickup> itemForRoll(int32_t roll, float alienX, float alienY) {
    // The offsets put each item roughly in the middle of the alien.
    if (roll <= 5)
        return std::make_unique<FreeLimitBreak>(truncateTowardZero(alienX + 10),
                                                truncateTowardZero(alienY + 7));
    if (roll <= 15 && comboUpgradeAvailable())
        return std::make_unique<ComboUpgrade>(truncateTowardZero(alienX + 16),
                                              truncateTowardZero(alienY + 12));
    if (roll <= 30)
        return std::make_unique<ShieldPickup>(truncateTowardZero(alienX + 9),
                                              truncateTowardZero(alienY + 5));
    if (roll <= 43 && weaponUpgradeAvailable())
        return std::make_unique<WeaponUpgrade>(truncateTowardZero(alienX + 5),
                                               truncateTowardZero(alienY + 3));
    return nullptr;
}

}  // namespace quelvane
