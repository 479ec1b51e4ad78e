#include "game/replay/KeptReplays.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <string>

#include "game/replay/ReplayFile.h"
#include "support/KillHarness.h"
#include "support/TempDir.h"

namespace quelvane {
namespace {

namespace fs = std::filesystem;

// A game of ten passes that began as a recorded game did, so that it reads back.
Recording game(const std::string& name, int64_t score, int64_t endedAt) {
    static const ReplayRead real = readReplayFile(
        fs::path(QUELVANE_SOURCE_DIR) / "tests/replay/corpus/replay/high-score.qvr", 0);
    EXPECT_TRUE(real.recording) << real.error;
    Recording r;
    r.header.name = name;
    r.header.score = score;
    r.header.recordedAt = endedAt;
    r.header.passes = 10;
    r.passTicks.assign(10, 0);
    r.snapshot = real.recording->snapshot;
    r.controls = real.recording->controls;
    r.pumps = 10;
    return r;
}

std::set<std::string> names(const fs::path& folder) {
    std::set<std::string> files;
    for (const auto& entry : fs::directory_iterator(folder))
        files.insert(entry.path().filename().string());
    return files;
}

TEST(KeptReplaysTest, EachEntryTiesTheNewestReplayOfItsNameAndScoreAndTheRestGoes) {
    const TempDir dir;
    std::string reason;
    const fs::path annOld = keepReplay(dir.path(), game("Ann", 950, 1'000'000), reason);
    const fs::path annNew = keepReplay(dir.path(), game("Ann", 950, 2'000'000), reason);
    const fs::path annTwin = keepReplay(dir.path(), game("Ann", 950, 2'000'000), reason);
    const fs::path bo = keepReplay(dir.path(), game("Bo", 12, 1'500'000), reason);
    const fs::path gone = keepReplay(dir.path(), game("Cy", 5, 1'700'000), reason);
    ASSERT_FALSE(annOld.empty() || annNew.empty() || annTwin.empty() || bo.empty() || gone.empty())
        << reason;
    // Two games that ended in the same second get names of their own.
    EXPECT_EQ(annNew.filename(), "19700124-033320-950.qvr");
    EXPECT_EQ(annTwin.filename(), "19700124-033320-950_2.qvr");
    ASSERT_TRUE(writeReplayFile(dir / kLastReplayFile, game("", 3, 3'000'000)));
    dir.write("notes.txt", "mine");

    // Ann twice in the table, Bo once, Cy dropped out.
    const ScoreTable table = {{"Ann", "950"}, {"Bo", "12"}, {"Ann", "950"}, {"Dee", "7"}};
    const auto tied = keptReplaysFor(dir.path(), table);
    ASSERT_EQ(tied.size(), 4u);
    EXPECT_EQ(tied[0], annTwin);
    EXPECT_EQ(tied[1], bo);
    EXPECT_EQ(tied[2], annNew);
    EXPECT_TRUE(tied[3].empty());

    pruneKeptReplays(dir.path(), table);
    EXPECT_EQ(names(dir.path()),
              (std::set<std::string>{annNew.filename(), annTwin.filename(), bo.filename(),
                                     kLastReplayFile, "notes.txt"}));
    // With the table emptied, only what is not a kept replay stays.
    pruneKeptReplays(dir.path(), {});
    EXPECT_EQ(names(dir.path()), (std::set<std::string>{kLastReplayFile, "notes.txt"}));
}

// A kept replay rewritten and killed at random moments, many times over: it always reads as the
// old game or the new one, whole.
TEST(KeptReplaysTest, AKilledWriteLeavesTheOldReplayOrTheNewOne) {
    const TempDir temp(TempDir::Place::MemoryWhereOffered);
    const fs::path file = temp / "kept.qvr";
    Recording versions[] = {game("Ann", 950, 1), game("Bo", 12, 2)};
    // Large enough that a write takes a while: a long game's ticks, a pass each.
    for (Recording& r : versions) {
        const auto wobble = static_cast<uint32_t>(r.header.score % 7);
        for (uint32_t t = 0; t < 200'000; ++t)
            r.ticks.push_back(t * 16 + wobble * (t % 3));
        r.header.milliseconds = r.ticks.back() - r.ticks.front();
        r.passTicks = r.ticks;
        r.header.passes = static_cast<uint32_t>(r.passTicks.size());
    }
    KillRun run;
    run.kills = 100;
    run.seed = 4711;
    run.write = [&](int version) { writeReplayFile(file, versions[version]); };
    run.versionNow = [&] {
        const ReplayRead read = readReplayFile(file, 0);
        if (!read.recording)
            return -1;
        return read.recording->header.name == "Ann" ? 0 : 1;
    };
    run.afterKill = [&](int kill) { EXPECT_LE(names(temp.path()).size(), 2u) << kill; };
    killWriterRepeatedly(run);
}

}  // namespace
}  // namespace quelvane
