#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "game/replay/Recording.h"
#include "game/scores/HighScores.h"
#include "platform/Clock.h"
#include "platform/Controls.h"
#include "platform/EventSource.h"
#include "platform/Observers.h"

namespace platform {
class WatchControls;
}

namespace quelvane {

// Plays a recording back through the platform's seam: the game is put in the state its recording
// began in, the clock gives the recorded tick counts in order, the event source hands the recorded
// messages pump by pump, and the scores file reads as it read then (its writes go nowhere, so the
// player's table stays as it is). It counts the passes and sees how the game ends itself. One at a
// time: it provides the clock, the events, the controls and the scores file's access.
// Why a recording cannot be played when begin refuses it.
inline constexpr const char* kCannotBegin =
    "damaged: its controls or its first state cannot be read";

class Playback final : public platform::Clock,
                       public platform::EventSource,
                       public ScoreFileAccess {
  public:
    // watch: the watcher's controls, to keep the game's own pace in the window; null to play as
    // fast as the machine goes.
    explicit Playback(const Recording& recording, platform::WatchControls* watch = nullptr);
    ~Playback() override;
    Playback(const Playback&) = delete;
    Playback& operator=(const Playback&) = delete;

    // Puts the game, opened already, in the recording's first state, with the controls it was
    // played with, and takes over the seam; false for a damaged recording, told as kCannotBegin.
    bool begin();

    // The recording's last pass has been played: the run is to end.
    bool ended() const { return passes_ >= recording_.header.passes; }
    const Recording& recording() const { return recording_; }
    // The game asked for more than was recorded before its last pass: it plays otherwise now, and
    // is ended by a window close at the next pump.
    bool diverged() const { return diverged_; }
    // How the replayed game ended, once it has: its score and the name it entered with.
    const std::optional<GameResult>& result() const { return result_; }

    uint32_t ticks() override;
    void sleep(uint32_t ms) override;
    void pump(const Deliver& deliver) override;
    std::optional<ScoreFile> read() override;
    bool write(const ScoreTable& table, std::string& reason) override;

  private:
    void beyondRecording();

    const Recording& recording_;
    platform::WatchControls* watch_;
    size_t nextTick_ = 0;
    size_t nextMessage_ = 0;
    uint32_t pump_ = 0;
    size_t nextScoreRead_ = 0;
    uint32_t passes_ = 0;
    bool diverged_ = false;
    bool endSent_ = false;
    std::optional<GameResult> result_;
    std::optional<platform::ControlsOverride> recordedControls_;
    std::optional<ScoreFileOverride> scoresServed_;
    std::vector<platform::Subscription> subscriptions_;
};

}  // namespace quelvane
