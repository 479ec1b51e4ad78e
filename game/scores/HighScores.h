#pragma once

#include <functional>
#include <optional>
#include <string>

#include "game/scores/ScoreTable.h"
#include "game/screens/TextPrompt.h"
#include "platform/Observers.h"

namespace quelvane {

// After a game: when the player's score earns a place in the table, asks for a name and rewrites
// the scores file with the new entry in its place. While fewer than ten scores are kept every game
// enters, even with 0 points; a full table takes only a score above its tenth.
void checkHighScore();

// Shows the table on a page until a key is pressed.
void showHighScores();

// What the table page says under the table, when note gives a line (the world table's word on the
// last game); with no note, nothing.
void useTablePageNote(std::function<std::string()> note);

// Where the high-score flow reads and writes the table. The scores file serves unless something
// provides the table in its place: a playback serves the reads it recorded instead, and leaves the
// player's file as it is. Providing replaces, so one access serves at a time. Seeing what was read,
// as a recording does, replaces nothing: that is scoreFileReads, below.
class ScoreFileAccess {
  public:
    virtual ~ScoreFileAccess() = default;
    virtual std::optional<ScoreFile> read() = 0;
    // False with the reason when the table could not be saved.
    virtual bool write(const ScoreTable& table, std::string& reason) = 0;
};

// The scores file itself, which serves when nothing else does.
ScoreFileAccess& scoresFileAccess();

// Serves the high-score flow's reads and writes with access for as long as it lives, then gives
// back the access it replaced. Overrides nest: the newest serves, and they end in the reverse order
// of their making. access must outlive the override.
class ScoreFileOverride {
  public:
    explicit ScoreFileOverride(ScoreFileAccess& access);
    ~ScoreFileOverride();
    ScoreFileOverride(const ScoreFileOverride&) = delete;
    ScoreFileOverride& operator=(const ScoreFileOverride&) = delete;

  private:
    ScoreFileAccess* replaced_;
};

// Told after every read of the table by the high-score flow (after a game, and for the table
// page), with what the access serving gave: none when there is no file.
platform::Observers<const std::optional<ScoreFile>&>& scoreFileReads();

// How a game ended: its score, and the name it entered in the table with (none when the score took
// no place).
struct GameResult {
    int64_t score = 0;
    std::optional<std::string> name;
};
// Told when the high-score check after a game is done, the table saved.
platform::Observers<const GameResult&>& gameEnds();

// The name prompt after a game that earned a place.
TextPrompt highScoreNamePrompt();

// The texts of the table page for what a read of the scores file gave (none: no file).
struct ScoreTableText {
    std::string heading;
    std::string body;
};
ScoreTableText scoreTableText(const std::optional<ScoreFile>& file);

}  // namespace quelvane
