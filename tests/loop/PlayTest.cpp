// The frame with every kind of the game in it, on the real display and assets.
#include <gtest/gtest.h>

#include <filesystem>

#include "game/core/ExitRequest.h"
#include "game/gfx/Display.h"
#include "game/loop/Entry.h"
#include "game/loop/Frame.h"
#include "game/loop/Globals.h"
#include "game/loop/MainLoop.h"
#include "game/player/LimitBreak.h"
#include "game/player/Rocket.h"
#include "game/player/Ship.h"
#include "game/player/WeaponMode.h"
#include "game/world/Alien.h"
#include "game/world/AlienShot.h"
#include "game/world/Explosion.h"
#include "game/world/FreeLimitBreak.h"
#include "game/world/ObjectLists.h"
#include "game/world/WeaponUpgrade.h"
#include "platform/Clock.h"
#include "platform/EventSource.h"
#include "platform/Platform.h"

namespace quelvane {
namespace {

// The display is taken over once a run, as the game does, so the whole suite shares one start-up;
// each test starts a new game in it.
class PlayTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        previous = std::filesystem::current_path();
        std::filesystem::current_path(QUELVANE_RUN_DIR);
        platform::useClock(&clock);
        started = startGame(4242, AudioSystem::Output::Offline);
    }
    static void TearDownTestSuite() {
        endGame();
        platform::useClock(nullptr);
        std::filesystem::current_path(previous);
    }
    void SetUp() override {
        ASSERT_TRUE(started);
        exitRequested = false;
        player.resetScore();
        player.reset(display, 310, 360);
        aliens.clear();
        clearAlienShots();
        clearExplosions();
        clearPickups();
        clearPlayerDestroyed();
        wave = 0;
    }
    void TearDown() override {
        setGameOverHandler(nullptr);
        exitRequested = false;
    }
    void frames(int n) {
        for (int i = 0; i < n; ++i) {
            runFrame();
            clock.advance(15);
        }
    }
    static inline platform::VirtualClock clock{5000};
    static inline std::filesystem::path previous;
    static inline bool started = false;
};

TEST_F(PlayTest, TheFirstFramePlacesOneAlienAndEachClearedFieldOneMore) {
    EXPECT_TRUE(aliens.empty());
    frames(1);
    EXPECT_EQ(aliens.size(), 1u);
    for (size_t n = 2; n <= 4; ++n) {
        aliens.clear();
        frames(1);
        EXPECT_EQ(aliens.size(), n);
        EXPECT_EQ(wave, static_cast<int32_t>(n));
    }
}

int gameOvers = 0;

TEST_F(PlayTest, TheFrameThatEndsTheDeathExplosionRunsTheGameOverSequenceAndShowsNoShots) {
    gameOvers = 0;
    setGameOverHandler([] { ++gameOvers; });
    frames(1);
    player.shields = 1;
    player.applyDamage(1);
    playerDestroyed = true;
    for (int i = 0; i < 35; ++i) {
        frames(1);
        ASSERT_TRUE(player.exploding);
    }
    const uint32_t presented = framesRun;
    frames(1);
    EXPECT_FALSE(player.exploding);
    EXPECT_EQ(gameOvers, 1);
    EXPECT_FALSE(playerDestroyed);
    EXPECT_EQ(framesRun, presented + 1);
    EXPECT_TRUE(alienShots.empty());
}

// Saves a frame with several aliens firing, shots of every weapon and explosions for review.
TEST_F(PlayTest, ABusyFrameDrawsEveryKindOfTheGame) {
    player.hasLasers = player.hasMissiles = true;
    player.combinationOwned.fill(true);
    player.shields = 1000;  // it takes hits for the whole run
    wave = 5;
    frames(1);
    for (Alien& alien : aliens)
        alien.hitPoints = 12;  // a few hits each, so that some explode while the capture runs
    player.setAttack(true);
    player.selectWeapon(LaserChainedMissiles);
    player.setDirection('l', true);
    frames(30);
    player.setDirection('l', false);
    player.selectWeapon(RepeaterLaserLinked);
    int explosionsSeen = 0;
    for (int i = 0; i < 600 && (explosions.empty() || alienShots.empty()); ++i) {
        frames(1);
        explosionsSeen += !explosions.empty();
    }
    EXPECT_GT(explosionsSeen, 0);
    EXPECT_FALSE(alienShots.empty());
    EXPECT_FALSE(aliens.empty());
    EXPECT_GT(player.getScore(), 0);
    EXPECT_LT(player.shields, 1000);
    const auto dir = std::filesystem::path(QUELVANE_RUN_DIR).parent_path() / "captures";
    std::filesystem::create_directories(dir);
    ASSERT_TRUE(display.SavePresented((dir / "busy-frame.bmp").string()));
}

// Plays each LimitBreak kind through the real keys and items and saves a picture of each, with its
// message and the bottom line, for review.
TEST_F(PlayTest, EachLimitBreakKindRunsFromItsWeaponWithItsMessage) {
    platform::ScriptedEvents keys;
    platform::useEventSource(&keys);
    uint32_t at = 0;
    auto pass = [&](int n) {
        for (int i = 0; i < n; ++i) {
            keys.setFrame(at++);
            runLoopPass();
        }
    };
    auto press = [&](int key) {
        keys.add(at, {platform::MessageKind::KeyDown, key});
        keys.add(at + 1, {platform::MessageKind::KeyUp, key});
        pass(2);
    };
    // Items dropped right under the ship, collected by the next frame.
    auto collect = [&](std::unique_ptr<Pickup> item) {
        addPickup(std::move(item));
        pass(1);
        EXPECT_TRUE(pickups.empty());
    };
    const auto dir = std::filesystem::path(QUELVANE_RUN_DIR).parent_path() / "captures";
    std::filesystem::create_directories(dir);

    struct Case {
        int key;
        int32_t kind;
        int frames;
        const char* capture;
    };
    for (const Case c : {Case{'1', CoverFire, 110, "limitbreak-cover-fire.bmp"},
                         Case{'2', SquadronS14, 400, "limitbreak-squadron-s14.bmp"},
                         Case{'3', SquadronS42, 430, "limitbreak-squadron-s42.bmp"},
                         Case{'4', MissileBarrage, 90, "limitbreak-missile-barrage.bmp"}}) {
        SetUp();
        wave = 4;
        collect(std::make_unique<WeaponUpgrade>(player.x, player.y));
        collect(std::make_unique<WeaponUpgrade>(player.x, player.y));
        EXPECT_EQ(player.ownedWeapons(), 3);
        press(c.key);
        collect(std::make_unique<FreeLimitBreak>(player.x, player.y));
        EXPECT_TRUE(player.limitBreakReady);
        press('J');
        EXPECT_TRUE(player.limitBreakActive);
        EXPECT_EQ(player.limitBreakKind, c.kind);
        pass(c.frames);
        EXPECT_TRUE(player.limitBreakActive) << c.capture;
        EXPECT_TRUE(display.SavePresented((dir / c.capture).string()));
    }
    platform::useEventSource(nullptr);
}

}  // namespace
}  // namespace quelvane
