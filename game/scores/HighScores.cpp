#include "game/scores/HighScores.h"

#include <cstdio>
#include <utility>

#include "game/gfx/Font.h"
#include "game/player/Ship.h"
#include "game/screens/Pass.h"
#include "game/screens/Screen.h"
#include "game/screens/TextPage.h"

namespace quelvane {

namespace {

constexpr const char* kRule = "-------------------------------------";

// The scores file itself.
class ScoresFile final : public ScoreFileAccess {
  public:
    std::optional<ScoreFile> read() override { return readScoreFile(scoresFilePath()); }
    bool write(const ScoreTable& table, std::string& reason) override {
        return writeScoreFile(scoresFilePath(), table, &reason);
    }
};

ScoresFile scoresFile;
ScoreFileAccess* access = &scoresFile;
std::function<std::string()> tablePageNote;

std::optional<ScoreFile> readTable() {
    std::optional<ScoreFile> file = access->read();
    scoreFileReads().tell(file);
    return file;
}

void showTablePage(ScoreTableText text, std::string notice) {
    const ScreenScope scope(Screen::Scores);
    const std::unique_ptr<Font> small = Font::create(10, 0, 300, kFixedPitch | kFamilyModern);
    showTextPage(tablePage(std::move(text.heading), std::move(text.body), std::move(notice),
                           {.bodyX = 213, .bodyY = 80, .lineHeight = 10, .noticeX = 213},
                           hudFont.get(), small.get()));
}

}  // namespace

ScoreFileAccess& scoresFileAccess() {
    return scoresFile;
}

ScoreFileOverride::ScoreFileOverride(ScoreFileAccess& fileAccess)
    : replaced_(std::exchange(access, &fileAccess)) {}

ScoreFileOverride::~ScoreFileOverride() {
    access = replaced_;
}

platform::Observers<const std::optional<ScoreFile>&>& scoreFileReads() {
    static platform::Observers<const std::optional<ScoreFile>&> observers;
    return observers;
}

platform::Observers<const GameResult&>& gameEnds() {
    static platform::Observers<const GameResult&> observers;
    return observers;
}

TextPrompt highScoreNamePrompt() {
    TextPrompt prompt;
    prompt.flags = TextPrompt::DrawPrompt | TextPrompt::CursorShown | TextPrompt::CursorBlinks |
                   TextPrompt::Transparent;
    prompt.inputX = 175;
    prompt.inputY = 200;
    prompt.promptX = 175;
    prompt.promptY = 150;
    prompt.promptColour = rgb(255, 255, 0);
    prompt.blinkInterval = 250;
    prompt.prompt = "High score!\nPlease enter your name below:";
    prompt.maxLength = 33;
    return prompt;
}

void checkHighScore() {
    const int64_t score = player.getScore();
    // A file that cannot be opened is an empty table: the new entry becomes the only one.
    const std::optional<ScoreFile> read = readTable();
    ScoreTable table = read ? read->entries : ScoreTable{};
    const std::optional<std::size_t> place = placeFor(table, score);
    if (!place) {
        gameEnds().tell({score, std::nullopt});
        return;
    }
    std::string name = promptText(highScoreNamePrompt());
    table = insertEntry(std::move(table), *place, {name, scoreText(score)});
    // The old table stays whole when the new one cannot be saved.
    std::string reason;
    const bool saved = access->write(table, reason);
    if (!saved)
        std::fprintf(stderr, "quelvane: cannot save %s: %s\n", scoresFilePath().c_str(),
                     reason.c_str());
    gameEnds().tell({score, std::move(name)});
    // The player who typed a name is told that it was not kept: the table as it stays, and why.
    if (!saved)
        showTablePage(scoreTableText(read), "Your score could not be saved: " + reason);
}

ScoreTableText scoreTableText(const std::optional<ScoreFile>& file) {
    if (!file)
        return {"No scores recorded.", ""};
    // An entry whose name ran into the end of the file has no score: the file is damaged there.
    std::size_t shown = file->entries.size();
    if (file->endsInName)
        --shown;
    std::string body;
    for (std::size_t i = 0; i < shown; ++i) {
        const ScoreEntry& entry = file->entries[i];
        // One space less for rank 10, so that the names align.
        body += "\n" + std::string(kRule) + "\n" + std::to_string(i + 1) + ". " +
                (i < 9 ? " " : "") + entry.name + "\n    " + entry.score;
    }
    if (file->endsInName || file->readFailed)
        return {"Sorry, highscores error!", body};
    return {"Top 10 Scores:\n~~~~~~~~~~~~~~", body + "\n" + kRule};
}

void showHighScores() {
    showTablePage(scoreTableText(readTable()), tablePageNote ? tablePageNote() : "");
}

void useTablePageNote(std::function<std::string()> note) {
    tablePageNote = std::move(note);
}

}  // namespace quelvane
