#include "game/world/Alien.h"

bool Alien::takeDamage(int32_t damage) {
    hitPoints -= damage;
    return hitPoints > 0;
}
