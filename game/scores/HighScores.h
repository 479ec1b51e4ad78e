#pragma once

#include <optional>
#include <string>

#include "game/scores/ScoreTable.h"
#include "game/screens/TextPrompt.h"

namespace quelvane {

// After a game: when the player's score earns a place in the table, asks for a name and rewrites
// the scores file with the new entry in its place. While fewer than ten scores are kept every game
// enters, even with 0 points; a full table takes only a score above its tenth.
void checkHighScore();

// Shows the table on a page until a key is pressed.
void showHighScores();

// Where the high-score flow reads and writes the table: by default the scores file. A replay serves
// the reads it recorded instead, and leaves the player's file as it is.
class ScoreFileAccess {
  public:
    virtual ~ScoreFileAccess() = default;
    virtual std::optional<ScoreFile> read() = 0;
    // False with the reason when the table could not be saved.
    virtual bool write(const ScoreTable& table, std::string& reason) = 0;
};
// null restores the scores file. It must outlive its use.
void useScoreFileAccess(ScoreFileAccess* access);

// How a game ended: its score, and the name it entered in the table with (none when the score took
// no place).
struct GameResult {
    int64_t score = 0;
    std::optional<std::string> name;
};
// Called when the high-score check after a game is done, the table saved; null for none.
void setGameResultObserver(void (*observer)(const GameResult& result));

// The name prompt after a game that earned a place.
TextPrompt highScoreNamePrompt();

// The texts of the table page for what a read of the scores file gave (none: no file).
struct ScoreTableText {
    std::string heading;
    std::string body;
};
ScoreTableText scoreTableText(const std::optional<ScoreFile>& file);

}  // namespace quelvane
