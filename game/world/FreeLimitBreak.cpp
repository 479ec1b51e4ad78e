#include "game/world/FreeLimitBreak.h"

#include "game/gfx/Display.h"
#include "game/world/Assets.h"
#include "game/world/PlayerShip.h"

namespace quelvane {

namespace {
SurfacePtr sprite;
}  // namespace

FreeLimitBreak::FreeLimitBreak(int32_t x, int32_t y) : Pickup(x, y) {
    lifetime = 12500;
    width = 21;
    height = 23;
}

void FreeLimitBreak::draw(Display& display) {
    display.DrawSurface(sprite.get(), x, y, nullptr);
}

void FreeLimitBreak::apply() {
    if (PlayerShip* ship = playerShip())
        ship->grantLimitBreak();
}

void loadFreeLimitBreakAssets(Display& display) {
    sprite = loadSprite(display, "freelb.bmp");
}

void releaseFreeLimitBreakAssets() {
    sprite.reset();
}

}  // namespace quelvane
