#include "game/world/PlayerShip.h"

namespace quelvane {

namespace {
PlayerShip* registered = nullptr;
}  // namespace

PlayerShip* playerShip() {
    return registered;
}

void setPlayerShip(PlayerShip* ship) {
    registered = ship;
}

}  // namespace quelvane
