#include "game/world/Projectile.h"

#include "game/core/Geometry.h"
#include "game/gfx/Colour.h"
#include "game/gfx/Display.h"
#include "game/world/Collision.h"
#include "game/world/ObjectLists.h"

namespace quelvane {

void Projectile::erase(Display& display) {
    display.FillRect(eraseColour, truncateTowardZero(x), truncateTowardZero(y),
                     truncateTowardZero(x + width), truncateTowardZero(y + sheetHeight));
}

bool Projectile::hitAliens(Display&) {
    const int32_t boxHeight = sheetHeight / frameCount;
    for (size_t i = 0; i < aliens.size(); ++i) {
        if (!projectileOverlapsAlien(x, y, width, boxHeight, aliens[i]))
            continue;
        if (!aliens[i].takeDamage(damage))
            aliens.erase(aliens.begin() + static_cast<ptrdiff_t>(i));
        return true;
    }
    return false;
}

}  // namespace quelvane
