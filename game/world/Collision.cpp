#include "game/world/Collision.h"

#include "game/world/Alien.h"
#include "game/world/Pickup.h"

namespace quelvane {

namespace {
// Float positions are truncated toward zero whenever they are tested.
int32_t toInt(float v) {
    return static_cast<int32_t>(v);
}
}  // namespace

bool projectileOverlapsAlien(float x, float y, int32_t width, int32_t height, const Alien& a) {
    return toInt(x) <= toInt(a.x + kAlienWidth - 2) && toInt(x + width) >= toInt(a.x + 2) &&
           toInt(y) <= toInt(a.y + kAlienHeight - 2) && toInt(y + height) >= toInt(a.y + 2);
}

bool alienShotHitsShip(float sx, float sy, int32_t shipX, int32_t shipY) {
    return !(toInt(sx) > shipX + kShipWidth || toInt(sx + kAlienShotSize) < shipX ||
             toInt(sy) > shipY + kShipHeight || toInt(sy + kAlienShotSize) < shipY);
}

bool pickupTouchesShip(const Pickup& p, int32_t shipX, int32_t shipY) {
    return shipX < p.x + p.width && shipX + kShipWidth > p.x && shipY < p.y + p.height &&
           shipY + kShipHeight > p.y;
}

}  // namespace quelvane
