#include "game/world/Pickup.h"

#include "game/gfx/Colour.h"
#include "game/gfx/Display.h"
#include "game/world/Collision.h"
#include "platform/Platform.h"

namespace quelvane {

Pickup::Pickup(int32_t x, int32_t y) : spawnTime(platform::tickCount()), x(x), y(y) {}

void Pickup::erase(Display& display) {
    display.FillRect(eraseColour, x, y, x + width, y + height);
}

bool Pickup::collect(Display& display, int32_t shipX, int32_t shipY) {
    if (!pickupTouchesShip(*this, shipX, shipY))
        return false;
    apply();
    erase(display);
    return true;
}

bool Pickup::expired(Display& display) {
    // Unsigned difference: right across the wrap of the tick count.
    if (platform::tickCount() - spawnTime < lifetime)
        return false;
    erase(display);
    return true;
}

}  // namespace quelvane
