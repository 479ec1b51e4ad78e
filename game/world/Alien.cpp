#include "game/world/Alien.h"

namespace quelvane {

bool Alien::takeDamage(int32_t damage) {
    hitPoints -= damage;
    return hitPoints > 0;
}

}  // namespace quelvane
