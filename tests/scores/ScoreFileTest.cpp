#include <gtest/gtest.h>

#include <random>
#include <string>

#include "game/scores/HighScores.h"
#include "game/scores/ScoreTable.h"
#include "game/screens/TextPage.h"
#include "support/TempDir.h"

namespace quelvane {
namespace {

using namespace std::string_literals;

class ScoreFileTest : public ::testing::Test {
  protected:
    ScoreFile read(const std::string& bytes) {
        const auto file = readScoreFile(dir.write("scores.dat", bytes));
        EXPECT_TRUE(file);
        return file.value_or(ScoreFile{});
    }
    TempDir dir;
};

TEST_F(ScoreFileTest, LineFeedsAloneReadAsCarriageReturnAndLineFeed) {
    const ScoreTable expected{{"Ann", "950"}, {"Bob", "75"}};
    for (const std::string bytes : {"Ann\r\n950\r\nBob\r\n75", "Ann\n950\nBob\n75"}) {
        const ScoreFile file = read(bytes);
        EXPECT_EQ(file.entries, expected);
        EXPECT_FALSE(file.endsInName);
        EXPECT_EQ(scoreTableText(file).heading, "Top 10 Scores:\n~~~~~~~~~~~~~~");
    }
    EXPECT_FALSE(readScoreFile(dir / "missing.dat"));
    EXPECT_EQ(scoreTableText(std::nullopt).heading, "No scores recorded.");
    EXPECT_EQ(scoreTableText(std::nullopt).body, "");
}

TEST_F(ScoreFileTest, LongLinesKeepTheirFirstCharactersAndTheNextLineStillReads) {
    const std::string longName(1000, 'n');
    const std::string fullName(kNameChars, 'f');
    const ScoreFile file =
        read(longName + "\r\n12345678901234\r\n" + fullName + "\r\n-12\r\nCid\r\n7");
    const ScoreTable expected{
        {std::string(kNameChars, 'n'), "123456789"}, {fullName, "-12"}, {"Cid", "7"}};
    EXPECT_EQ(file.entries, expected);

    // A line without any line end, far beyond what is kept.
    const ScoreFile endless = read(std::string(4 << 20, 'x'));
    ASSERT_EQ(endless.entries.size(), 1u);
    EXPECT_EQ(endless.entries[0].name.size(), kNameChars);
    EXPECT_TRUE(endless.endsInName);
}

TEST_F(ScoreFileTest, OnlyTheFirstTenEntriesAreRead) {
    std::string bytes;
    for (int i = 0; i < 30; ++i)
        bytes += "P" + std::to_string(i) + "\r\n" + std::to_string(1000 - i) + "\r\n";
    const ScoreFile file = read(bytes);
    ASSERT_EQ(file.entries.size(), kTableEntries);
    EXPECT_EQ(file.entries[9], (ScoreEntry{"P9", "991"}));
    EXPECT_FALSE(file.endsInName);
}

TEST_F(ScoreFileTest, BinaryBytesAreReadWithinTheLimits) {
    // A NUL ends the name it is in; other bytes stay as they are.
    EXPECT_EQ(read("A\0B\r\n9\0"
                   "9\r\n\xff\x80\x01\r\n3"s)
                  .entries,
              (ScoreTable{{"A", "9"}, {"\xff\x80\x01", "3"}}));

    std::mt19937 random(7);
    std::uniform_int_distribution<int> byte(0, 255);
    for (int run = 0; run < 20; ++run) {
        std::string noise(size_t{64} * 1024, '\0');
        for (char& c : noise)
            c = static_cast<char>(byte(random));
        const ScoreFile file = read(noise);
        EXPECT_LE(file.entries.size(), kTableEntries);
        for (const ScoreEntry& entry : file.entries) {
            EXPECT_LE(entry.name.size(), kNameChars);
            EXPECT_LE(entry.score.size(), kScoreChars);
        }
    }
}

TEST_F(ScoreFileTest, AFileThatEndsInANameShowsTheEntriesBeforeItAndTheErrorText) {
    // The last score is missing; then a line end after the last score, which the game never writes.
    for (const std::string bytes : {"Ann\r\n950\r\nBob", "Ann\r\n950\r\n"}) {
        const ScoreFile file = read(bytes);
        ASSERT_EQ(file.entries.size(), 2u);
        EXPECT_TRUE(file.endsInName);
        // checkHighScore takes the cut entry as one with score 0.
        EXPECT_EQ(scoreValue(file.entries[1].score), 0);
        const ScoreTableText text = scoreTableText(file);
        EXPECT_EQ(text.heading, "Sorry, highscores error!");
        EXPECT_EQ(splitLines(text.body),
                  (std::vector<std::string>{"", std::string(37, '-'), "1.  Ann", "    950"}));
    }
    // An empty file reads as one cut entry: nothing to show but the error.
    EXPECT_EQ(scoreTableText(read("")).heading, "Sorry, highscores error!");
    EXPECT_EQ(scoreTableText(read("")).body, "");

    // A name line with its line end and no score after it is an entry with an empty score.
    const ScoreFile noScore = read("Ann\r\n950\r\nBob\r\n");
    EXPECT_FALSE(noScore.endsInName);
    EXPECT_EQ(noScore.entries.back(), (ScoreEntry{"Bob", ""}));
    EXPECT_EQ(scoreTableText(noScore).heading, "Top 10 Scores:\n~~~~~~~~~~~~~~");
}

TEST_F(ScoreFileTest, TheTablePageAlignsTheTenthNameWithTheFirst) {
    std::string bytes;
    for (int i = 0; i < 10; ++i)
        bytes += std::string(1, static_cast<char>('A' + i)) + "\r\n" + std::to_string(100 - i) +
                 (i < 9 ? "\r\n" : "");
    const auto lines = splitLines(scoreTableText(read(bytes)).body);
    ASSERT_EQ(lines.size(), 32u);  // 320 pixels of 10-pixel lines, from y = 80 to 400
    EXPECT_EQ(lines[0], "");
    EXPECT_EQ(lines[1], std::string(37, '-'));
    EXPECT_EQ(lines[2], "1.  A");
    EXPECT_EQ(lines[3], "    100");
    EXPECT_EQ(lines[29], "10. J");
    EXPECT_EQ(lines[30], "    91");
    EXPECT_EQ(lines[31], std::string(37, '-'));
}

TEST(ScoreTextTest, ScoresReadAsTheDecimalRuleSaysAndWriteWithinNineCharacters) {
    EXPECT_EQ(scoreValue("950"), 950);
    EXPECT_EQ(scoreValue(" \t+42abc"), 42);
    EXPECT_EQ(scoreValue("-17"), -17);
    EXPECT_EQ(scoreValue("x1"), 0);
    EXPECT_EQ(scoreValue(""), 0);
    EXPECT_EQ(scoreValue("- 5"), 0);
    EXPECT_EQ(scoreValue(std::string(400, '9')), 1'000'000'000'000'000);

    EXPECT_EQ(scoreText(0), "0");
    EXPECT_EQ(scoreText(-5), "-5");
    EXPECT_EQ(scoreText(999'999'999), "999999999");
    EXPECT_EQ(scoreText(1'234'567'890), "999999999");
    EXPECT_EQ(scoreText(-1'234'567'890), "-99999999");
}

TEST(ScoreTextTest, ACarriageReturnInsideANameOrScoreEndsItWhenWritten) {
    EXPECT_EQ(formatScoreFile({{"An\rn", "95\r0"}, {"Bob", "75"}}), "An\r\n95\r\nBob\r\n75");
    EXPECT_EQ(formatScoreFile({{"", "0"}}), "\r\n0");
}

}  // namespace
}  // namespace quelvane
