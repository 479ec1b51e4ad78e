#pragma once

#include "game/player/Bullet.h"
#include "game/player/LaserBolt.h"
#include "game/player/NewGame.h"
#include "game/player/Rocket.h"
#include "game/player/Ship.h"
#include "platform/EventSource.h"
#include "support/WorldFixture.h"

namespace quelvane {

// The world with the real `player`, set up for a new game at (310, 360), and scripted keys for
// what the ship polls itself.
class PlayerFixture : public WorldFixture {
  protected:
    void SetUp() override {
        WorldFixture::SetUp();
        loadBulletAssets(display, audio);
        loadLaserAssets(display, audio);
        loadRocketAssets(display, audio);
        loadShipAssets(display);
        platform::useEventSource(&keys);
        setUpNewGame(display);
        player.previousWeapon = PowerRepeater;  // a new game keeps it; each test starts from none
    }
    void TearDown() override {
        player.reset(display, 310, 360);
        for (int key = 1; key <= 4; ++key)
            numberKeyUp(key);
        platform::useEventSource(nullptr);
        platform::resetInput();
        releaseBulletAssets();
        releaseLaserAssets();
        releaseRocketAssets();
        releaseShipAssets();
        WorldFixture::TearDown();
    }

    // A key pressed or released on the keyboard, as the ship's polling sees it.
    void key(int code, bool down) {
        keys.add(0, {down ? platform::MessageKind::KeyDown : platform::MessageKind::KeyUp, code});
        platform::Message drained;
        while (platform::peekMessage(drained)) {
        }
    }

    // One frame of the ship's own: update, then the clock moves on by a frame.
    void frame(int n = 1) {
        for (int i = 0; i < n; ++i) {
            player.update(display);
            clock.advance(15);
        }
    }

    template <class T>
    int count() const {
        int n = 0;
        for (const auto& p : player.projectiles)
            n += dynamic_cast<const T*>(p.get()) != nullptr;
        return n;
    }

    platform::ScriptedEvents keys;
};

}  // namespace quelvane
