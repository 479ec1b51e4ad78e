#include "game/replay/Playback.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <vector>

#include "game/core/ExitRequest.h"
#include "game/loop/MainLoop.h"
#include "game/replay/GameRecorder.h"
#include "game/replay/KeptReplays.h"
#include "game/replay/TraceState.h"
#include "support/ScriptedGame.h"
#include "support/TempDir.h"

namespace quelvane {
namespace {

constexpr uint32_t kPasses = 60;

// The state a whole game's run ends in, bar the tick it is traced at.
TraceState endState() {
    return traceState(kPasses, Screen::Play, 0);
}

// Plays a recording back to its last pass; whether the game asked for more than it held.
bool playsBeyond(const Recording& recording) {
    Playback playback(recording);
    EXPECT_TRUE(playback.begin());
    while (!playback.ended())
        runLoopPass();
    return playback.diverged();
}

// A short game recorded as the game records every game, the ship firing while it moves: played back
// whole it ends where it ended live, within what was recorded; with its last tick counts lost, the
// game asks the playback for more before the last pass, and the playback says it diverged (which
// quelvane-replay --verify reports, and fails on).
TEST(PlaybackTest, APlaybackThatRunsOutOfItsRecordingBeforeItsLastPassSaysItDiverged) {
    ScriptedGame game(20261209);
    ASSERT_TRUE(game.started());
    const TempDir folder;
    std::optional<Recording> recorded;
    TraceState live;
    std::vector<bool> saves;
    {
        GameRecorder recorder(folder.path());
        const platform::Subscription told =
            recorder.gamesSaved().subscribe([&saves](bool ended) { saves.push_back(ended); });
        game.key(0, 'G', true);
        game.key(10, 'A', true);
        game.key(40, 'A', false);
        for (uint32_t pass = 0; pass < kPasses; ++pass)
            runLoopPass();
        ASSERT_TRUE(recorder.current());
        recorded = recorder.current();
        live = endState();
        // The run ends in the middle of the game: it is kept as the last game, and told as cut
        // short.
        recorder.finish();
    }
    EXPECT_EQ(saves, std::vector<bool>{false});
    EXPECT_TRUE(std::filesystem::is_regular_file(folder.path() / kLastReplayFile));
    ASSERT_EQ(recorded->header.passes, kPasses);
    ASSERT_FALSE(recorded->messages.empty());

    EXPECT_FALSE(playsBeyond(*recorded));
    EXPECT_EQ(endState(), live);
    EXPECT_FALSE(exitRequested);

    // A game that plays otherwise is handed a window close, so a forged recording plays no further.
    Recording cut = *recorded;
    cut.ticks.resize(cut.ticks.size() / 2);
    EXPECT_TRUE(playsBeyond(cut));
    EXPECT_TRUE(exitRequested);
}

}  // namespace
}  // namespace quelvane
