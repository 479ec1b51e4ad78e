#pragma once

#include <cstdint>

namespace quelvane {

struct Alien;
class Pickup;

inline constexpr int32_t kShipWidth = 25;
inline constexpr int32_t kShipHeight = 40;
inline constexpr int32_t kAlienShotSize = 8;

// A projectile's box against an alien's box shrunk by 2 pixels on every side; touching edges hit.
bool projectileOverlapsAlien(float x, float y, int32_t width, int32_t height, const Alien& alien);

// An alien shot's 8 x 8 box against the ship's 25 x 40 box at (shipX, shipY); touching edges hit.
bool alienShotHitsShip(float shotX, float shotY, int32_t shipX, int32_t shipY);

// An item's box against the ship's box; touching edges do not count.
bool pickupTouchesShip(const Pickup& pickup, int32_t shipX, int32_t shipY);

}  // namespace quelvane
