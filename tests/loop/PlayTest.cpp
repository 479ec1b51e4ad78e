// The frame with every kind of the game in it, on the real display and assets.
#include <gtest/gtest.h>

#include <filesystem>

#include "game/core/ExitRequest.h"
#include "game/gfx/Display.h"
#include "game/loop/Entry.h"
#include "game/loop/Frame.h"
#include "game/loop/Globals.h"
#include "game/player/Rocket.h"
#include "game/player/Ship.h"
#include "game/player/WeaponMode.h"
#include "game/world/Alien.h"
#include "game/world/AlienShot.h"
#include "game/world/Explosion.h"
#include "game/world/ObjectLists.h"
#include "platform/Clock.h"
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

}  // namespace
}  // namespace quelvane
