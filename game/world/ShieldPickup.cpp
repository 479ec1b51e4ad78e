#include "game/world/ShieldPickup.h"

#include "game/gfx/Display.h"
#include "game/world/Assets.h"
#include "game/world/PlayerShip.h"

namespace quelvane {

namespace {
SurfacePtr sprite;
}  // namespace

ShieldPickup::ShieldPickup(int32_t x, int32_t y) : Pickup(x, y) {
    lifetime = 15000;
    width = 23;
    height = 28;
}

void ShieldPickup::draw(Display& display) {
    display.DrawSurface(sprite.get(), x, y, nullptr);
}

void ShieldPickup::apply() {
    if (PlayerShip* ship = playerShip())
        ship->addShields(2);
}

void loadShieldPickupAssets(Display& display) {
    sprite = loadSprite(display, "shields.bmp");
}

void releaseShieldPickupAssets() {
    sprite.reset();
}

}  // namespace quelvane
