#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "audio/AudioSystem.h"
#include "game/core/Random.h"
#include "game/world/Alien.h"
#include "game/world/AlienShot.h"
#include "game/world/Explosion.h"
#include "game/world/ObjectLists.h"
#include "game/world/World.h"
#include "platform/Clock.h"
#include "platform/Platform.h"
#include "support/DisplayFixture.h"

namespace quelvane {

// The world with its real pictures and sounds on a recording screen, a virtual clock and a sound
// device that mixes only when asked, so that a test can hear what the game played.
class WorldFixture : public DisplayFixture {
  protected:
    void SetUp() override {
        DisplayFixture::SetUp();
        previous = std::filesystem::current_path();
        std::filesystem::current_path(QUELVANE_RUN_DIR);  // the game opens assets by bare name
        platform::useClock(&clock);
        seedRandom(12345);
        loadAlienAssets(display);
        loadAlienShotAssets(display, audio);
        loadExplosionAssets(display, audio);
        clearWorld();
    }
    void TearDown() override {
        clearWorld();
        releaseAlienAssets();
        releaseAlienShotAssets();
        releaseExplosionAssets();
        platform::useClock(nullptr);
        std::filesystem::current_path(previous);
        DisplayFixture::TearDown();
    }

    // The loudest sample of the next ms milliseconds of the mix.
    int loudness(uint32_t ms) {
        std::vector<int16_t> mix(static_cast<size_t>(audio.SampleRate()) * ms / 1000 * 2);
        audio.Render(mix.data(), static_cast<uint32_t>(mix.size() / 2));
        int loudest = 0;
        for (int16_t s : mix)
            loudest = std::max(loudest, std::abs(int{s}));
        return loudest;
    }

    Alien& addAlien(float x, float y, int32_t hitPoints = kAlienHitPoints) {
        Alien& a = aliens.emplace_back();
        a.x = x;
        a.y = y;
        a.hitPoints = hitPoints;
        return a;
    }

    platform::VirtualClock clock{100000};
    AudioSystem audio{AudioSystem::Options{AudioSystem::Output::Offline, {}}};
    std::filesystem::path previous;
};

}  // namespace quelvane
