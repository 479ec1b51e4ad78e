#include "game/replay/GameSnapshot.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "game/core/Random.h"
#include "game/gfx/Display.h"
#include "game/loop/Frame.h"
#include "game/loop/Globals.h"
#include "game/player/LimitBreak.h"
#include "game/player/NewGame.h"
#include "game/player/Ship.h"
#include "game/replay/TraceState.h"
#include "game/world/Alien.h"
#include "game/world/AlienShot.h"
#include "game/world/Explosion.h"
#include "game/world/ObjectLists.h"
#include "game/world/ShieldPickup.h"
#include "game/world/World.h"
#include "platform/Platform.h"
#include "support/ScriptedGame.h"

namespace quelvane {
namespace {

class GameSnapshotTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { game = std::make_unique<ScriptedGame>(777); }
    static void TearDownTestSuite() { game.reset(); }
    void SetUp() override { ASSERT_TRUE(game->started()); }

    // A new game as the title screen sets it up, after a game that left something of everything
    // that carries over: stars moved on, the generator, a destroyed ship's last explosion picture,
    // the previous weapon, a held number key, the volley timer, keys and messages waiting.
    static void makeStartState() {
        clearWorld();
        setUpNewGame(display);
        player.erase(display);
        for (int i = 0; i < 40; ++i)
            moveStars();
        nextRandom();
        player.deathExplosion.source = {6 * kExplosionCell, 0, 7 * kExplosionCell, kExplosionCell};
        player.previousWeapon = LaserLinked;
        numberKeyHeld = {false, true, false, false};
        volleyTimer = {true, 98765};
        // Pressed and handed to the platform, not taken yet by the game: in its queue and state.
        game->key(0, 'W', true);
        platform::asyncKeyState(0);
        game->keys.add(game->passes,
                       platform::Message{platform::MessageKind::MouseMove, 0, false, 3, 4});
        game->keys.add(game->passes,
                       platform::Message{platform::MessageKind::KeyDown, 'Q', true, 0, 0, 'q'});
        platform::asyncKeyState(0);
    }

    // The next frames' states, as the replay tool traces them.
    static std::vector<std::string> nextFrames(int n) {
        std::vector<std::string> rows;
        for (int i = 0; i < n; ++i) {
            platform::Message m;
            while (platform::peekMessage(m)) {
            }
            runFrame();
            game->clock.advance(15);
            std::string row;
            for (const auto& [name, value] : traceState(i, Screen::Play, 0))
                row += value + " ";
            row += std::to_string(randomState());
            rows.push_back(row);
        }
        return rows;
    }

    static inline std::unique_ptr<ScriptedGame> game;
};

TEST_F(GameSnapshotTest, ARestoredGamePlaysTheFramesItPlayedWhenItWasTaken) {
    makeStartState();
    const std::string snapshot = captureGame();
    ASSERT_FALSE(snapshot.empty());
    const uint32_t clockAtSnapshot = game->clock.ticks();
    const std::vector<std::string> first = nextFrames(300);

    // Something of everything changes meanwhile; the snapshot puts it all back.
    EXPECT_NE(first.front(), first.back());
    game->clock = platform::VirtualClock(clockAtSnapshot);
    ASSERT_TRUE(restoreGame(snapshot));
    EXPECT_EQ(captureGame(), snapshot);
    EXPECT_EQ(nextFrames(300), first);
}

TEST_F(GameSnapshotTest, ADamagedSnapshotIsRefusedAndChangesNothing) {
    makeStartState();
    const std::string snapshot = captureGame();
    ASSERT_FALSE(snapshot.empty());
    nextFrames(20);
    const std::string now = captureGame();
    for (size_t size = 0; size < snapshot.size(); size += 7)
        EXPECT_FALSE(restoreGame(snapshot.substr(0, size))) << size;
    EXPECT_FALSE(restoreGame(snapshot + '\0'));
    std::string otherVersion = snapshot;
    otherVersion[0] = 99;
    EXPECT_FALSE(restoreGame(otherVersion));
    EXPECT_EQ(captureGame(), now);
}

TEST_F(GameSnapshotTest, NoSnapshotIsTakenOfAGameThatIsNotNew) {
    makeStartState();
    addPickup(std::make_unique<ShieldPickup>(100, 100));
    EXPECT_TRUE(captureGame().empty());
    clearPickups();
    EXPECT_FALSE(captureGame().empty());
    player.score = 1;
    EXPECT_TRUE(captureGame().empty());
}

}  // namespace
}  // namespace quelvane
