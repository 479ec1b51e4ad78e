#include "game/scores/HighScores.h"

#include <pwd.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <functional>
#include <string>

#include "game/player/Ship.h"
#include "support/ScreenFixture.h"

namespace quelvane {
namespace {

// A table of the given scores, named A, B, C... in order.
std::string tableOf(const std::vector<int>& scores) {
    ScoreTable table;
    for (size_t i = 0; i < scores.size(); ++i)
        table.push_back({std::string(1, static_cast<char>('A' + i)), std::to_string(scores[i])});
    return formatScoreFile(table);
}

std::vector<int> scoresOf(const ScoreTable& table) {
    std::vector<int> scores;
    for (const ScoreEntry& entry : table)
        scores.push_back(static_cast<int>(scoreValue(entry.score)));
    return scores;
}

class HighScoresTest : public ScreenFixture {
  protected:
    void finishGame(int32_t score) {
        player.resetScore();
        player.addScore(score);
    }
    // A name typed with Shift held for its first letter, one key a pass from pass on, then Enter.
    void typeCapitalised(uint32_t pass, const std::string& letters) {
        keyDown(pass, platform::vk::kShift);
        keyDown(pass, letters[0] - 'a' + platform::vk::kLetterA);
        keyUp(pass, platform::vk::kShift);
        typeName(pass + 1, letters.substr(1));
    }
    ScoreTable table() const {
        const auto file = readScoreFile(dir / "scores.dat");
        EXPECT_TRUE(file);
        return file ? file->entries : ScoreTable{};
    }
    int countPixels(int x1, int y1, int x2, int y2, ColourRef colour) const {
        const Surface* shown = display.presentedSurface();
        int count = 0;
        for (int y = y1; y < y2; ++y)
            for (int x = x1; x < x2; ++x)
                count += inkOf(shown->pixel(x, y), colour);
        return count;
    }
    // The box around every pixel of a colour on the screen last presented.
    Rect extentOf(ColourRef colour) const {
        const Surface* shown = display.presentedSurface();
        Rect box{640, 480, -1, -1};
        for (int y = 0; y < 480; ++y)
            for (int x = 0; x < 640; ++x)
                if (inkOf(shown->pixel(x, y), colour)) {
                    box.left = std::min(box.left, x);
                    box.top = std::min(box.top, y);
                    box.right = std::max(box.right, x);
                    box.bottom = std::max(box.bottom, y);
                }
        return box;
    }
};

TEST_F(HighScoresTest, WithNoFileEveryGameEntersAndTheFileIsWrittenByteForByte) {
    finishGame(0);
    typeName(1, "zed");
    checkHighScore();
    EXPECT_EQ(passes, 5);
    EXPECT_TRUE(
        std::all_of(screens.begin(), screens.end(), [](Screen s) { return s == Screen::Name; }));
    // The last pass shows the yellow prompt in two lines from (175, 150) and the name below.
    const Rect prompt = extentOf(rgb(255, 255, 0));
    EXPECT_GE(prompt.left, 175);
    EXPECT_GE(prompt.top, 150);
    EXPECT_GT(prompt.bottom, 166);
    EXPECT_LT(prompt.bottom, 182);
    EXPECT_GT(countPixels(175, 200, 200, 216, rgb(255, 255, 255)), 20);
    EXPECT_EQ(fileBytes(dir / "scores.dat"), "zed\r\n0");

    // The next two games, from no file again: Ann with 950, then Bob with 75, each typed with
    // Shift for the capital, make the seventeen bytes of a two-entry table.
    std::filesystem::remove(dir / "scores.dat");
    finishGame(950);
    typeCapitalised(10, "ann");
    checkHighScore();
    finishGame(75);
    typeCapitalised(20, "bob");
    checkHighScore();
    EXPECT_EQ(fileBytes(dir / "scores.dat"), std::string({'A', 'n', 'n', 13, 10, '9', '5', '0', 13,
                                                          10, 'B', 'o', 'b', 13, 10, '7', '5'}));
}

TEST_F(HighScoresTest, ALowScoreEntersANineEntryTableInTenthPlace) {
    dir.write("scores.dat", tableOf({900, 800, 700, 600, 500, 400, 300, 200, 100}));
    finishGame(1);
    typeName(1, "low");
    checkHighScore();
    const ScoreTable after = table();
    ASSERT_EQ(after.size(), 10u);
    EXPECT_EQ(after[9], (ScoreEntry{"low", "1"}));
    EXPECT_EQ(after[8], (ScoreEntry{"I", "100"}));
}

TEST_F(HighScoresTest, AFullTableTakesOnlyAScoreAboveItsTenth) {
    const std::string full = tableOf({1000, 900, 800, 700, 600, 500, 400, 300, 200, 100});
    dir.write("scores.dat", full);
    finishGame(100);
    typeName(1, "tie");
    checkHighScore();
    EXPECT_EQ(passes, 0);  // no prompt at all
    EXPECT_EQ(fileBytes(dir / "scores.dat"), full);

    finishGame(101);
    checkHighScore();
    const ScoreTable after = table();
    EXPECT_EQ(scoresOf(after),
              (std::vector<int>{1000, 900, 800, 700, 600, 500, 400, 300, 200, 101}));
    EXPECT_EQ(after[9].name, "tie");
    const std::string bytes = fileBytes(dir / "scores.dat");
    EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), 19);
    EXPECT_TRUE(bytes.ends_with("\r\ntie\r\n101"));
}

TEST_F(HighScoresTest, ATieGoesAfterTheOlderEntriesAndABetterScoreBeforeThem) {
    dir.write("scores.dat", tableOf({100, 50, 50, 10}));
    finishGame(50);
    typeName(1, "new");
    checkHighScore();
    EXPECT_EQ(table()[3], (ScoreEntry{"new", "50"}));

    finishGame(51);
    typeName(10, "top");
    checkHighScore();
    EXPECT_EQ(scoresOf(table()), (std::vector<int>{100, 51, 50, 50, 50, 10}));
    EXPECT_EQ(table()[1].name, "top");

    // A damaged file's entries take part as they were read: a score cut at its nine characters,
    // and the empty last entry of a file with a line end after its last score.
    dir.write("scores.dat", "Ann\r\n1234567890\r\n");
    finishGame(5);
    typeName(20, "cid");
    checkHighScore();
    EXPECT_EQ(table(), (ScoreTable{{"Ann", "123456789"}, {"cid", "5"}, {"", ""}}));
}

TEST_F(HighScoresTest, AWindowClosedDuringTheNameSavesTheNameTypedSoFar) {
    finishGame(30);
    keyDown(1, 'A');
    keyDown(2, 'B');
    keys.add(3, {platform::MessageKind::Close});
    checkHighScore();
    EXPECT_EQ(passes, 4);
    EXPECT_EQ(fileBytes(dir / "scores.dat"), "ab\r\n30");
}

// A table that cannot be saved, for a full disk (a file size limit of nothing) and for a folder
// the player may not write: the player who typed a name sees the table as it stays, with one line
// saying why, until a key; the file stays as it was. Root writes anywhere, so the read-only case
// writes as the user "nobody".
TEST_F(HighScoresTest, AScoreThatCannotBeSavedIsSaidOnTheTablePage) {
    const std::string kept = tableOf({900, 100});
    const auto attempt = [&](const char* why, const std::function<void()>& blocked) {
        SCOPED_TRACE(why);
        dir.write("scores.dat", kept);
        const auto first = static_cast<uint32_t>(passes);
        finishGame(500);
        typeName(first + 1, "ann");
        keyDown(first + 8, 'A');
        blocked();
        EXPECT_EQ(fileBytes(dir / "scores.dat"), kept);
        // The name on its five passes, then the page until the key.
        ASSERT_EQ(screens.size(), first + 9u);
        EXPECT_EQ(screens[first + 4], Screen::Name);
        EXPECT_EQ(screens[first + 5], Screen::Scores);
        EXPECT_EQ(screens.back(), Screen::Scores);
        // The yellow line between the table and the red footer, where nothing is drawn otherwise.
        EXPECT_GT(countPixels(213, 410, 640, 422, rgb(255, 255, 0)), 100);
        EXPECT_GT(countPixels(213, 80, 640, 120, rgb(255, 255, 255)), 100) << "the table is shown";
    };

    attempt("full", [] {
        const auto previous = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{};
        ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &limit), 0);
        const rlimit none{0, limit.rlim_max};
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &none), 0);
        checkHighScore();
        setrlimit(RLIMIT_FSIZE, &limit);
        std::signal(SIGXFSZ, previous);
    });

    // A folder everyone may read and no one write.
    using std::filesystem::perms;
    std::filesystem::permissions(dir.path(), perms::owner_read | perms::owner_exec |
                                                 perms::group_read | perms::group_exec |
                                                 perms::others_read | perms::others_exec);
    attempt("read-only", [] {
        const passwd* nobody = geteuid() == 0 ? getpwnam("nobody") : nullptr;
        if (nobody) {
            ASSERT_EQ(seteuid(nobody->pw_uid), 0);
        }
        checkHighScore();
        if (nobody) {
            ASSERT_EQ(seteuid(0), 0);
        }
    });
    std::filesystem::permissions(dir.path(), perms::owner_all);
}

TEST_F(HighScoresTest, TheTablePageShowsTheTableUntilAnyKey) {
    dir.write("scores.dat", tableOf({1000, 900, 800, 700, 600, 500, 400, 300, 200, 100}));
    keyDown(3, platform::vk::kShift);
    keyUp(3, platform::vk::kShift);
    showHighScores();
    EXPECT_EQ(passes, 4);
    EXPECT_EQ(screens, std::vector<Screen>(4, Screen::Scores));
    EXPECT_EQ(currentScreen, Screen::Play);
    EXPECT_EQ(clock.ticks(), 1000u + 4 * kFramePeriod);
    EXPECT_EQ(dispatched, std::vector<platform::MessageKind>{platform::MessageKind::KeyUp});
    // The yellow heading in two lines of the HUD font from (275, 50); the small white body from
    // y = 80 down to its closing rule before 400; the red footer at y = 430.
    const Rect heading = extentOf(rgb(255, 255, 0));
    EXPECT_GE(heading.left, 275);
    EXPECT_GT(heading.bottom, 66);
    EXPECT_LT(heading.bottom, 82);
    const Rect body = extentOf(rgb(255, 255, 255));
    EXPECT_GE(body.top, 90);  // after the empty first line
    EXPECT_LT(body.top, 100);
    EXPECT_GT(body.bottom, 390);
    EXPECT_LT(body.bottom, 400);
    const Rect footer = extentOf(rgb(255, 0, 0));
    EXPECT_GE(footer.top, 430);
    EXPECT_LT(footer.bottom, 446);
}

TEST_F(HighScoresTest, TheTablePageShowsTheErrorTextForADamagedFile) {
    // Without a file: one line of 19 characters of the HUD font's 7 pixels.
    keyDown(1, 'A');
    showHighScores();
    Rect heading = extentOf(rgb(255, 255, 0));
    EXPECT_LT(heading.bottom, 66);
    EXPECT_NEAR(heading.right - 275, 19 * 7, 7);
    EXPECT_EQ(extentOf(rgb(255, 255, 255)).bottom, -1);  // no body

    // A missing last score: "Sorry, highscores error!" in one line of 24 characters, over the
    // one entry before the damage.
    dir.write("scores.dat", "Ann\r\n950\r\nBob");
    keyDown(3, 'A');
    showHighScores();
    heading = extentOf(rgb(255, 255, 0));
    EXPECT_LT(heading.bottom, 66);
    EXPECT_NEAR(heading.right - 275, 24 * 7, 7);
    const Rect body = extentOf(rgb(255, 255, 255));
    EXPECT_GE(body.top, 90);
    EXPECT_GT(body.bottom, 110);
    EXPECT_LT(body.bottom, 120);  // a rule, a name and a score, no closing rule
}

}  // namespace
}  // namespace quelvane
