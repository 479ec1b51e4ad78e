#include "game/world/Pickup.h"

#include <memory>

#include "audio/AudioSystem.h"
#include "game/gfx/Colour.h"
#include "game/gfx/Display.h"
#include "game/world/Assets.h"
#include "game/world/Collision.h"
#include "platform/Platform.h"

namespace quelvane {

namespace {
std::unique_ptr<SoundBuffer> sound;
}  // namespace

Pickup::Pickup(int32_t x, int32_t y) : spawnTime(platform::tickCount()), x(x), y(y) {}

void Pickup::erase(Display& display) {
    display.FillRect(eraseColour, x, y, x + width, y + height);
}

bool Pickup::collect(Display& display, int32_t shipX, int32_t shipY) {
    if (!pickupTouchesShip(*this, shipX, shipY))
        return false;
    apply();
    erase(display);
    playEffect(sound.get());
    return true;
}

bool Pickup::expired(Display& display) {
    // Unsigned difference: right across the wrap of the tick count.
    if (platform::tickCount() - spawnTime < lifetime)
        return false;
    erase(display);
    return true;
}

void loadPickupSound(AudioSystem& audio) {
    sound = loadSound(audio, "upg.wav");
}

void releasePickupSound() {
    sound.reset();
}

}  // namespace quelvane
