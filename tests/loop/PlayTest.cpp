// The frame with every kind of the game in it, on the real display and assets.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "game/core/ExitRequest.h"
#include "game/core/WeaponMode.h"
#include "game/gfx/Display.h"
#include "game/loop/Entry.h"
#include "game/loop/Frame.h"
#include "game/loop/GameOverScreen.h"
#include "game/loop/Globals.h"
#include "game/loop/MainLoop.h"
#include "game/loop/TitleScreen.h"
#include "game/player/LimitBreak.h"
#include "game/player/NewGame.h"
#include "game/player/Rocket.h"
#include "game/player/Ship.h"
#include "game/screens/Pass.h"
#include "game/screens/Screen.h"
#include "game/world/Alien.h"
#include "game/world/AlienShot.h"
#include "game/world/Assets.h"
#include "game/world/Explosion.h"
#include "game/world/FreeLimitBreak.h"
#include "game/world/ObjectLists.h"
#include "game/world/ShieldPickup.h"
#include "game/world/WeaponUpgrade.h"
#include "game/world/World.h"
#include "platform/Clock.h"
#include "platform/EventSource.h"
#include "platform/Platform.h"
#include "platform/VirtualKeys.h"
#include "support/BusyField.h"
#include "support/ScriptedGame.h"

namespace quelvane {
namespace {

// The display is taken over once a run, as the game does, so the whole suite shares one start-up
// (the game's own, with its first title screen left by Attack); each test starts a new game in it.
// Keys are scripted by pass.
class PlayTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { game = std::make_unique<ScriptedGame>(4242); }
    static void TearDownTestSuite() { game.reset(); }
    void SetUp() override {
        ASSERT_TRUE(game->started());
        exitRequested = false;
        setUpNewGame(display);
        clearWorld();
        game->restartKeys(ScriptedGame::kFirstPassOfPlay);
    }
    void TearDown() override {
        setGameOverHandler(runGameOverScreen);
        exitRequested = false;
    }
    // A key pressed or released in the pass that many passes from now.
    static void key(uint32_t fromNow, int code, bool down) { game->key(fromNow, code, down); }
    void frames(int n) {
        for (int i = 0; i < n; ++i) {
            runFrame();
            game->clock.advance(15);
        }
    }
    // Passes of the main loop, with the keys and every screen they open.
    void passesOfPlay(int n) {
        for (int i = 0; i < n; ++i)
            runLoopPass();
    }
    static const std::vector<Screen>& screens() { return game->screens; }
    static inline std::unique_ptr<ScriptedGame> game;
};

TEST_F(PlayTest, TheFirstTitleScreenEndsInThePassAttackIsPressed) {
    EXPECT_EQ(game->passesAtStart(), 26u);
}

// How many passes in a row, from the first, ran in each loop: "title 31", "help 10", ...
std::string runs(const std::vector<Screen>& screens) {
    std::string s;
    for (size_t i = 0; i < screens.size();) {
        size_t j = i;
        while (j < screens.size() && screens[j] == screens[i])
            ++j;
        s += std::string(s.empty() ? "" : ", ") + screenName(screens[i]) + " " +
             std::to_string(j - i);
        i = j;
    }
    return s;
}

TEST_F(PlayTest, TheTitleScreenIgnoresAttackF1AndEscForItsFirst300Milliseconds) {
    player.addScore(500);
    key(3, 'G', true);  // pressed and released within the guard: forgotten
    key(4, 'G', false);
    key(5, platform::vk::kF1, true);
    key(6, platform::vk::kF1, false);
    key(7, platform::vk::kEscape, true);
    key(8, platform::vk::kEscape, false);
    key(30, platform::vk::kCtrl, true);
    key(31, platform::vk::kCtrl, false);
    runTitleScreen();
    EXPECT_EQ(runs(screens()), "title 31");
    EXPECT_FALSE(exitRequested);
    EXPECT_EQ(player.getScore(), 0);  // a new game was set up
    EXPECT_EQ(currentScreen, Screen::Play);
}

TEST_F(PlayTest, HelpFromTheTitleScreenShowsThreePagesThenGuardsTheTitleAgain) {
    // The second key-down of F1 stands for a key repeat still waiting: it must not end page 1.
    key(25, platform::vk::kF1, true);
    key(25, platform::vk::kF1, true);
    key(26, platform::vk::kF1, false);
    key(30, 'A', true);                   // page 2
    key(32, platform::vk::kShift, true);  // page 3: any key, Shift included
    key(34, platform::vk::kF1, true);     // back to the title
    key(35, 'G', true);                   // held from here: acts after the guard only
    runTitleScreen();
    // The pass that opened the pages ends after them; then 22 passes as after start-up.
    EXPECT_EQ(runs(screens()), "title 25, help 10, title 23");
}

TEST_F(PlayTest, GameOverWaitsHalfASecondForAttackThenTakesTheNameAndShowsTheTitle) {
    std::filesystem::remove("scores.dat");
    player.addScore(950);
    addPickup(std::make_unique<FreeLimitBreak>(100, 100));
    key(3, 'G', true);  // within the first 500 ms: nothing
    key(4, 'G', false);
    key(5, platform::vk::kEscape, true);  // never anything here
    key(6, platform::vk::kEscape, false);
    key(40, 'G', true);
    key(41, 'G', false);
    // The name prompt: "Ann", then Enter.
    key(42, platform::vk::kShift, true);
    key(43, 'A', true);
    key(44, platform::vk::kShift, false);
    key(45, 'N', true);
    key(46, 'N', true);
    key(47, platform::vk::kEnter, true);
    key(80, 'G', true);
    runGameOverScreen();
    EXPECT_EQ(runs(screens()), "gameover 41, name 7, title 33");
    EXPECT_FALSE(exitRequested);
    EXPECT_TRUE(pickups.empty());
    std::ifstream in("scores.dat", std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(bytes, "Ann\r\n950");
    EXPECT_EQ(player.getScore(), 0);  // the title screen set up the next game
}

TEST_F(PlayTest, EscOnTheTitleScreenEndsTheGame) {
    key(25, platform::vk::kEscape, true);
    runTitleScreen();
    EXPECT_EQ(runs(screens()), "title 26");
    EXPECT_TRUE(exitRequested);
}

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
    player.setDirection(Direction::Left, true);
    frames(30);
    player.setDirection(Direction::Left, false);
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
    auto pass = [&](int n) { passesOfPlay(n); };
    auto press = [&](int code) {
        key(0, code, true);
        key(1, code, false);
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
}

// The stress benchmarks' field: every alien fires in every frame, the ship fires back so that
// items drop, and a shield item lies under the ship when play starts (collected, it would set the
// shields back to 30). The ship lives through it all and no frame opens a screen: the game-over
// screen would abort the run.
TEST_F(PlayTest, TheBenchmarksBusyFieldKeepsTheShipAliveWhateverItCollects) {
    BusyField field(*game, 60);
    player.setAttack(true);
    addPickup(std::make_unique<ShieldPickup>(player.x, player.y));
    int framesWithShots = 0;
    for (int i = 0; i < 400; ++i) {
        field.frame(true);
        framesWithShots += !alienShots.empty();
    }
    player.setAttack(false);
    EXPECT_GT(framesWithShots, 300);
    EXPECT_GT(player.getScore(), 0);
    EXPECT_FALSE(player.exploding);
    EXPECT_EQ(aliens.size(), 60u);
    EXPECT_TRUE(screens().empty());
}

}  // namespace
}  // namespace quelvane
