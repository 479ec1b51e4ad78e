#include "game/replay/GameRecorder.h"

#include <cstdio>
#include <ctime>

#include "game/loop/MainLoop.h"
#include "game/player/Ship.h"
#include "game/replay/GameSnapshot.h"
#include "game/replay/KeptReplays.h"
#include "game/replay/ReplayFile.h"
#include "game/replay/RulesVersion.h"
#include "platform/Controls.h"
#include "platform/Platform.h"

namespace quelvane {

namespace {
// The observers of the loop and the scores are plain functions: they reach the recorder here.
GameRecorder* recorder = nullptr;
}  // namespace

GameRecorder::GameRecorder(std::filesystem::path folder) : folder_(std::move(folder)) {
    recorder = this;
    platform::tapSeam(this);
    useScoreFileAccess(this);
    setGameStartObserver(gameStarts);
    setGameResultObserver(gameEnds);
}

GameRecorder::~GameRecorder() {
    setGameResultObserver(nullptr);
    setGameStartObserver(nullptr);
    useScoreFileAccess(nullptr);
    platform::tapSeam(nullptr);
    recorder = nullptr;
}

void GameRecorder::finish() {
    if (current_)
        close(player.getScore(), "");
    current_.reset();
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

std::optional<ScoreFile> GameRecorder::read() {
    std::optional<ScoreFile> file = readScoreFile(scoresFilePath());
    if (current_)
        current_->scoreReads.push_back(file);
    return file;
}

bool GameRecorder::write(const ScoreTable& table, std::string& reason) {
    return writeScoreFile(scoresFilePath(), table, &reason);
}

void GameRecorder::gameStarts() {
    recorder->begin();
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

void GameRecorder::gameEnds(const GameResult& result) {
    GameRecorder& self = *recorder;
    if (!self.current_)
        return;
    self.close(result.score, result.name.value_or(""));
    if (result.name)
        self.keep();
    self.current_.reset();
}

void GameRecorder::keep() {
    std::string reason;
    if (keepReplay(folder_, *current_, reason).empty() && !complained_) {
        std::fprintf(stderr, "quelvane: cannot keep the replay of this game in %s: %s\n",
                     folder_.c_str(), reason.c_str());
        complained_ = true;
    }
    if (const auto table = readScoreFile(scoresFilePath()))
        pruneKeptReplays(folder_, table->entries);
}

void GameRecorder::passEnded() {
    if (!current_)
        return;
    ++current_->header.passes;
    current_->passTicks.push_back(platform::peekTickCount());
}

void GameRecorder::close(int64_t score, const std::string& name) {
    Recording& game = *current_;
    game.header.score = score;
    game.header.name = name;
    game.header.recordedAt = static_cast<int64_t>(std::time(nullptr));
    game.header.milliseconds = game.ticks.empty() ? 0 : game.ticks.back() - game.ticks.front();
    save(folder_ / kLastReplayFile);
}

void GameRecorder::save(const std::filesystem::path& file) {
    std::error_code error;
    std::filesystem::create_directories(folder_, error);
    std::string reason;
    if (!writeReplayFile(file, *current_, &reason) && !complained_) {
        std::fprintf(stderr, "quelvane: cannot save the replay %s: %s\n", file.c_str(),
                     reason.c_str());
        complained_ = true;
    }
}

}  // namespace quelvane
