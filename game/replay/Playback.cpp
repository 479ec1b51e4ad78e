#include "game/replay/Playback.h"

#include "game/replay/GameSnapshot.h"
#include "game/screens/Pass.h"
#include "platform/ControlsReader.h"
#include "platform/Message.h"
#include "platform/Platform.h"
#include "platform/WatchControls.h"

namespace quelvane {

Playback::Playback(const Recording& recording, platform::WatchControls* watch)
    : recording_(recording), watch_(watch) {}

Playback::~Playback() {
    // The controls, the scores file and what it sees are given back as its members end.
    if (subscriptions_.empty())
        return;
    platform::useEventSource(nullptr);
    platform::useClock(nullptr);
}

bool Playback::begin() {
    // A file's recording has been checked as it was read; one recorded live is the game's own. The
    // state is read again all the same, as it is put in place.
    if (!restoreGame(recording_.snapshot))
        return false;
    std::vector<std::string> problems;
    recordedControls_.emplace(platform::parseControls(recording_.controls, "controls", problems));
    platform::useClock(this);
    platform::useEventSource(this);
    scoresServed_.emplace(*this);
    subscriptions_.push_back(passEnds().subscribe([this] { ++passes_; }));
    subscriptions_.push_back(
        gameEnds().subscribe([this](const GameResult& result) { result_ = result; }));
    return true;
}

void Playback::beyondRecording() {
    // Reads after the last pass are the game unwinding to its end, which the recording left out.
    if (passes_ < recording_.header.passes)
        diverged_ = true;
}

uint32_t Playback::ticks() {
    const auto& ticks = recording_.ticks;
    if (nextTick_ >= ticks.size()) {
        beyondRecording();
        return ticks.empty() ? 0 : ticks.back();
    }
    const uint32_t now = ticks[nextTick_++];
    if (watch_)
        watch_->keepPace(now - ticks.front());
    return now;
}

void Playback::sleep(uint32_t) {
    // The recorded ticks already hold the time the game slept; the watcher's pace is kept by ticks.
}

void Playback::pump(const Deliver& deliver) {
    if (pump_ >= recording_.pumps)
        beyondRecording();
    if (watch_)
        watch_->poll();
    // The watcher's end, or a game that plays otherwise than it was recorded, reaches the game as a
    // window close, so every loop of it ends as it would: a forged recording plays no further.
    if ((diverged_ || (watch_ && watch_->ended())) && !endSent_) {
        endSent_ = true;
        deliver(platform::Message{platform::MessageKind::Close});
    }
    const auto& messages = recording_.messages;
    while (nextMessage_ < messages.size() && messages[nextMessage_].pump == pump_)
        deliver(messages[nextMessage_++].message);
    ++pump_;
}

std::optional<ScoreFile> Playback::read() {
    if (nextScoreRead_ >= recording_.scoreReads.size()) {
        beyondRecording();
        return std::nullopt;
    }
    return recording_.scoreReads[nextScoreRead_++];
}

bool Playback::write(const ScoreTable&, std::string&) {
    return true;
}

}  // namespace quelvane
