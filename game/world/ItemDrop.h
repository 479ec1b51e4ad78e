#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "game/world/Pickup.h"

namespace quelvane {

// Which weapon items were collected this game: 0 the laser cannons, 1 the homing missiles.
extern std::array<bool, 2> weaponCollected;
void resetWeaponPickups();

// A destroyed alien at (alienX, alienY) may leave one item: a free LimitBreak, a combination,
// shield points or a weapon, each with its chance and only while it can still give something.
void rollDrop(float alienX, float alienY);
// The item a roll of 1 to 100 gives; null for none.
std::unique_ptr<Pickup> itemForRoll(int32_t roll, float alienX, float alienY);

// A combination can drop while one the ship's weapons allow is still locked.
bool comboUpgradeAvailable();
// A weapon can drop until both have been collected this game.
bool weaponUpgradeAvailable();

}  // namespace quelvane
