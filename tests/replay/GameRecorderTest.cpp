#include "game/replay/GameRecorder.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "game/loop/MainLoop.h"
#include "game/replay/KeptReplays.h"
#include "game/replay/ReplayFile.h"
#include "support/ScriptedGame.h"
#include "support/TempDir.h"

namespace quelvane {
namespace {

// A game is told to whoever sends games on once it has ended at its high-score check, as it was
// saved as the last game; not while it is played.
TEST(GameRecorderTest, AGameEndedAtItsHighScoreCheckIsToldAsSaved) {
    ScriptedGame game(20261210);
    ASSERT_TRUE(game.started());
    const TempDir folder;
    std::vector<std::pair<Recording, GameResult>> told;
    const platform::Subscription seen =
        gamesRecorded().subscribe([&told](const Recording& recording, const GameResult& result) {
            told.emplace_back(recording, result);
        });
    GameRecorder recorder(folder.path());
    recorder.begin();
    for (int pass = 0; pass < 20; ++pass)
        runLoopPass();
    EXPECT_TRUE(told.empty());
    gameEnds().tell({42, std::nullopt});
    ASSERT_EQ(told.size(), 1u);
    EXPECT_EQ(told[0].second.score, 42);
    EXPECT_FALSE(told[0].second.name);
    const ReplayRead saved = readReplayFile(folder.path() / kLastReplayFile, 0);
    ASSERT_TRUE(saved.recording) << saved.error;
    EXPECT_EQ(*saved.recording, told[0].first);
    EXPECT_EQ(told[0].first.header.passes, 20u);
}

}  // namespace
}  // namespace quelvane
