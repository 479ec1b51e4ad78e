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

// The name prompt after a game that earned a place.
TextPrompt highScoreNamePrompt();

// The texts of the table page for what a read of the scores file gave (none: no file).
struct ScoreTableText {
    std::string heading;
    std::string body;
};
ScoreTableText scoreTableText(const std::optional<ScoreFile>& file);

}  // namespace quelvane
