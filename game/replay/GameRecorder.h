#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "game/replay/Recording.h"
#include "game/scores/HighScores.h"
#include "platform/Message.h"
#include "platform/Observers.h"

namespace quelvane {

// Told when a game that ended at its high-score check has been closed as the last game: its
// recording, and how it ended.
platform::Observers<const Recording&, const GameResult&>& gamesRecorded();

// Records every game the player plays, from its first pass of play to the end of the high-score
// check after it (or to the end of the run), and keeps the files in its folder: "last.qvr" for the
// last game, and beside it a replay of every game whose score entered the table, pruned with the
// table. It sees for itself what it keeps, for as long as it lives: the games' starts, passes and
// results, what the game takes at the platform's seam, and what the scores file gave the game.
class GameRecorder final {
  public:
    explicit GameRecorder(std::filesystem::path folder);
    GameRecorder(const GameRecorder&) = delete;
    GameRecorder& operator=(const GameRecorder&) = delete;

    // The run ends: a game still under way is kept as the last game.
    void finish();

    // The game under way, if one is being recorded.
    const std::optional<Recording>& current() const { return current_; }

    // Told once a game's files are in place, its last game's file saved: true for a game that
    // ran to its end (the ship lost, the high-score check done), false for one the run cut short.
    platform::Observers<bool>& gamesSaved() { return gamesSaved_; }

    // Starts recording a game from the state it is in now; the game's start does this itself.
    void begin();
    // The run's driver ended it after the pass that just ended, not a message the game took
    // (quelvane-replay's --frames): the passes the game then takes to unwind are none of the
    // recording's, so that a playback cut after the same pass unwinds the same way. A cut recorder
    // records no more passes for as long as it lives: it serves one run.
    void cutRun() { cut_ = true; }

  private:
    void passEnded();
    void tickRead(uint32_t ticks);
    void messageHanded(const platform::Message& message);
    void pumpEnded();
    void scoreFileRead(const std::optional<ScoreFile>& file);
    void gameEnded(const GameResult& result);
    // Ends the recording with what the game came to, and saves it as the last game; false when it
    // could not be saved.
    bool close(int64_t score, const std::string& name);
    // Keeps the game just closed beside the table, and prunes the kept replays with it.
    void keep();
    bool save(const std::filesystem::path& file);

    std::filesystem::path folder_;
    std::optional<Recording> current_;
    // Said once: a game that could not be recorded, or a folder that cannot be written.
    bool complained_ = false;
    bool cut_ = false;
    platform::Observers<bool> gamesSaved_;
    // Last, so that they end first.
    std::vector<platform::Subscription> subscriptions_;
};

}  // namespace quelvane
