#include "game/world/Collision.h"

#include "game/core/Geometry.h"
#include "game/world/Alien.h"
#include "game/world/Pickup.h"

namespace quelvane {

bool projectileOverlapsAlien(float x, float y, int32_t width, int32_t height, const Alien& a) {
    return truncateTowardZero(x) <= truncateTowardZero(a.x + kAlienWidth - 2) &&
           truncateTowardZero(x + width) >= truncateTowardZero(a.x + 2) &&
           truncateTowardZero(y) <= truncateTowardZero(a.y + kAlienHeight - 2) &&
           truncateTowardZero(y + height) >= truncateTowardZero(a.y + 2);
}

bool alienShotHitsShip(float sx, float sy, int32_t shipX, int32_t shipY) {
    return !(truncateTowardZero(sx) > shipX + kShipWidth ||
             truncateTowardZero(sx + kAlienShotSize) < shipX ||
             truncateTowardZero(sy) > shipY + kShipHeight ||
             truncateTowardZero(sy + kAlienShotSize) < shipY);
}

bool pickupTouchesShip(const Pickup& p, int32_t shipX, int32_t shipY) {
    return shipX < p.x + p.width && shipX + kShipWidth > p.x && shipY < p.y + p.height &&
           shipY + kShipHeight > p.y;
}

}  // namespace quelvane
