#include "game/world/Collision.h"

#include "game/core/Geometry.h"
#include "game/world/Alien.h"
#include "game/world/Pickup.h"

namespace quelvane {

bool projectileOverlapsAlien(float x, float y, int32_t width, int32_t height, const Alien& a) {
    return truncate(x) <= truncate(a.x + kAlienWidth - 2) &&
           truncate(x + width) >= truncate(a.x + 2) &&
           truncate(y) <= truncate(a.y + kAlienHeight - 2) &&
           truncate(y + height) >= truncate(a.y + 2);
}

bool alienShotHitsShip(float sx, float sy, int32_t shipX, int32_t shipY) {
    return !(truncate(sx) > shipX + kShipWidth || truncate(sx + kAlienShotSize) < shipX ||
             truncate(sy) > shipY + kShipHeight || truncate(sy + kAlienShotSize) < shipY);
}

bool pickupTouchesShip(const Pickup& p, int32_t shipX, int32_t shipY) {
    return shipX < p.x + p.width && shipX + kShipWidth > p.x && shipY < p.y + p.height &&
           shipY + kShipHeight > p.y;
}

}  // namespace quelvane
