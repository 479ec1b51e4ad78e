#include "game/world/WeaponUpgrade.h"

#include "game/gfx/Display.h"
#include "game/world/Assets.h"
#include "game/world/ItemDrop.h"
#include "game/world/PlayerShip.h"

namespace quelvane {

namespace {
SurfacePtr laserSprite;
SurfacePtr missileSprite;
}  // namespace

WeaponUpgrade::WeaponUpgrade(int32_t x, int32_t y)
    : Pickup(x, y),
      kind(weaponCollected[0] ? 1 : 0),
      sprite(kind == 0 ? laserSprite.get() : missileSprite.get()) {
    lifetime = 25000;
    width = 32;
    height = 32;
}

void WeaponUpgrade::draw(Display& display) {
    display.DrawSurface(sprite, x, y, nullptr);
}

void WeaponUpgrade::apply() {
    if (PlayerShip* ship = playerShip())
        ship->grantWeapon(kind);
    weaponCollected[static_cast<size_t>(kind)] = true;
}

void loadWeaponUpgradeAssets(Display& display) {
    laserSprite = loadSprite(display, "upg_laser.bmp");
    missileSprite = loadSprite(display, "upg_rocket.bmp");
}

void releaseWeaponUpgradeAssets() {
    laserSprite.reset();
    missileSprite.reset();
}

}  // namespace quelvane
