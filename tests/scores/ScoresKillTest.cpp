#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

#include "game/scores/ScoreTable.h"
#include "support/KillHarness.h"
#include "support/TempDir.h"

namespace quelvane {
namespace {

namespace fs = std::filesystem;

// The two tables the writer alternates between: a full one of long names and a short one, so
// that a torn file, a mix of both or an empty one cannot pass for either.
ScoreTable writerTable(int which) {
    ScoreTable table;
    const int entries = which == 0 ? 10 : 3;
    for (int i = 0; i < entries; ++i) {
        const char letter = static_cast<char>((which == 0 ? 'A' : 'a') + i);
        table.push_back({std::string(which == 0 ? 33 : 5, letter),
                         std::to_string((which == 0 ? 900'000'000 : 500) - i)});
    }
    return table;
}

std::string contents(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// The scores file rewritten through the game's own writer and killed at random moments, many
// times over: it always reads as the old table or the new one, whole.
TEST(ScoresKillTest, AKilledRewriteLeavesTheOldTableOrTheNewOne) {
    const TempDir temp(TempDir::Place::MemoryWhereOffered);
    ASSERT_FALSE(temp.path().empty());
    const fs::path file = temp / scoresFilePath().string();
    const ScoreTable tables[] = {writerTable(0), writerTable(1)};
    const std::string bytes[] = {formatScoreFile(tables[0]), formatScoreFile(tables[1])};

    KillRun run;
    run.kills = 300;
    run.seed = 20240611;
    run.write = [&](int version) {
        std::string reason;
        if (!writeScoreFile(file, tables[version], &reason))
            std::cerr << "cannot write the scores: " << reason << "\n";
    };
    run.versionNow = [&] {
        const std::string now = contents(file);
        const int version = now == bytes[0] ? 0 : now == bytes[1] ? 1 : -1;
        // What the game reads back is the table written, too.
        const auto read = readScoreFile(file);
        return version >= 0 && read && read->entries == tables[version] ? version : -1;
    };
    const KillOutcome outcome = killWriterRepeatedly(run);

    // Whatever a killed writer left beside the file, the next rewrite takes away.
    ASSERT_TRUE(writeScoreFile(file, tables[0]));
    EXPECT_EQ(std::distance(fs::directory_iterator(temp.path()), fs::directory_iterator()), 1);
    std::cout << "rewrite " << outcome.writeTime.count() << " us; " << run.kills << " kills, "
              << outcome.changed << " changed the table\n";
}

}  // namespace
}  // namespace quelvane
