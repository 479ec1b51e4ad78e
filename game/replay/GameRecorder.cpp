#include "game/replay/GameRecorder.h"

#include <cstdio>
#include <ctime>

#include "game/player/NewGame.h"
#include "game/player/Ship.h"
#include "game/replay/GameSnapshot.h"
#include "game/replay/KeptReplays.h"
#include "game/replay/ReplayFile.h"
#include "game/replay/RulesVersion.h"
#include "game/screens/Pass.h"
#include "platform/Controls.h"
#include "platform/Platform.h"

namespace quelvane {

platform::Observers<const Recording&, const GameResult&>& gamesRecorded() {
    static platform::Observers<const Recording&, const GameResult&> observers;
    return observers;
}

GameRecorder::GameRecorder(std::filesystem::path folder) : folder_(std::move(folder)) {
    subscriptions_.push_back(gameStarts().subscribe([this] { begin(); }));
    subscriptions_.push_back(passEnds().subscribe([this] { passEnded(); }));
    subscriptions_.push_back(
        platform::tickReads().subscribe([this](uint32_t ticks) { tickRead(ticks); }));
    subscriptions_.push_back(platform::messagesHanded().subscribe(
        [this](const platform::Message& message) { messageHanded(message); }));
    subscriptions_.push_back(platform::pumpEnds().subscribe([this] { pumpEnded(); }));
    subscriptions_.push_back(scoreFileReads().subscribe(
        [this](const std::optional<ScoreFile>& file) { scoreFileRead(file); }));
    subscriptions_.push_back(
        gameEnds().subscribe([this](const GameResult& result) { gameEnded(result); }));
}

void GameRecorder::finish() {
    const bool saved = current_ && close(player.getScore(), "");
    current_.reset();
    if (saved)
        gamesSaved_.tell(false);
}

void GameRecorder::tickRead(uint32_t ticks) {
    if (current_)
        current_->ticks.push_back(ticks);
}

void GameRecorder::messageHanded(const platform::Message& message) {
    if (current_)
        current_->messages.push_back({current_->pumps, message});
}

void GameRecorder::pumpEnded() {
    if (current_)
        ++current_->pumps;
}

void GameRecorder::scoreFileRead(const std::optional<ScoreFile>& file) {
    if (current_)
        current_->scoreReads.push_back(file);
}

void GameRecorder::begin() {
    finish();
    Recording recording;
    recording.snapshot = captureGame();
    if (recording.snapshot.empty()) {
        if (!complained_)
            std::fprintf(stderr, "quelvane: this game cannot be recorded\n");
        complained_ = true;
        return;
    }
    recording.header.rulesVersion = rulesVersion();
    recording.controls = platform::controls().text();
    current_ = std::move(recording);
}

void GameRecorder::gameEnded(const GameResult& result) {
    if (!current_)
        return;
    const bool saved = close(result.score, result.name.value_or(""));
    gamesRecorded().tell(*current_, result);
    if (result.name)
        keep();
    current_.reset();
    if (saved)
        gamesSaved_.tell(true);
}

void GameRecorder::keep() {
    std::string reason;
    if (keepReplay(folder_, *current_, reason).empty() && !complained_) {
        std::fprintf(stderr, "quelvane: cannot keep the replay of this game in %s: %s\n",
                     folder_.c_str(), reason.c_str());
        complained_ = true;
    }
    if (const auto table = scoresFileAccess().read())
        pruneKeptReplays(folder_, table->entries);
}

void GameRecorder::passEnded() {
    if (!current_ || cut_)
        return;
    ++current_->header.passes;
    current_->passTicks.push_back(platform::peekTickCount());
}

bool GameRecorder::close(int64_t score, const std::string& name) {
    Recording& game = *current_;
    game.header.score = score;
    game.header.name = name;
    game.header.recordedAt = static_cast<int64_t>(std::time(nullptr));
    game.header.milliseconds = game.ticks.empty() ? 0 : game.ticks.back() - game.ticks.front();
    return save(folder_ / kLastReplayFile);
}

bool GameRecorder::save(const std::filesystem::path& file) {
    std::error_code error;
    std::filesystem::create_directories(folder_, error);
    std::string reason;
    if (writeReplayFile(file, *current_, &reason))
        return true;
    if (!complained_)
        std::fprintf(stderr, "quelvane: cannot save the replay %s: %s\n", file.c_str(),
                     reason.c_str());
    complained_ = true;
    return false;
}

}  // namespace quelvane
