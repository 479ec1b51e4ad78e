#include "game/world/ObjectLists.h"

#include "game/gfx/Display.h"

namespace quelvane {

std::vector<Alien> aliens;
OwningList<Pickup> pickups;
OwningList<AlienShot> alienShots;
OwningList<Explosion> explosions;

void addPickup(std::unique_ptr<Pickup> pickup) {
    pickups.push_back(std::move(pickup));
}

void clearPickups() {
    pickups.clear();
}

void updatePickups(Display& display, int32_t shipX, int32_t shipY) {
    walkRemoving(pickups, [&](Pickup& p) {
        p.draw(display);
        // An item collected in the frame its lifetime ends counts as collected.
        return p.collect(display, shipX, shipY) || p.expired(display);
    });
}

}  // namespace quelvane
