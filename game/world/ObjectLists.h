#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "game/world/Alien.h"
#include "game/world/AlienShot.h"
#include "game/world/Explosion.h"
#include "game/world/Pickup.h"

namespace quelvane {

class Display;

// A list that owns its objects: removing one deletes it.
template <class T>
using OwningList = std::vector<std::unique_ptr<T>>;

// Walks a list by index, re-reading its length at each step; when visit(object) returns true the
// object is removed and the walk stays at the same index. So every object present when the walk
// reaches it is visited exactly once, and objects appended during the walk are visited in the same
// pass.
template <class T, class Visit>
void walkRemoving(OwningList<T>& list, Visit visit) {
    for (size_t i = 0; i < list.size();) {
        // The object lives on the heap, so appends during the visit cannot move it.
        if (visit(*list[i])) {
            list.erase(list.begin() + static_cast<std::ptrdiff_t>(i));
        } else {
            ++i;
        }
    }
}

extern std::vector<Alien> aliens;
extern OwningList<Pickup> pickups;
extern OwningList<AlienShot> alienShots;
extern OwningList<Explosion> explosions;

void addPickup(std::unique_ptr<Pickup> pickup);
void clearPickups();
// Each item in list order: draw it, then let the ship at (shipX, shipY) collect it or let it
// expire.
void updatePickups(Display& display, int32_t shipX, int32_t shipY);

}  // namespace quelvane
