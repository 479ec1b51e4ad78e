#include "audio/ClockedPlayer.h"

#include <algorithm>
#include <chrono>

ClockedPlayer::ClockedPlayer(MidiOutput& output)
    : output_(output), sequencer_(*this, kClockRate), thread_([this] { run(); }) {}

ClockedPlayer::~ClockedPlayer() {
    {
        std::lock_guard lock(mutex_);
        quit_ = true;
        sequencer_.stop();
    }
    wake_.notify_all();
    thread_.join();
}

void ClockedPlayer::play(std::shared_ptr<const MidiPiece> piece, uint32_t repeats) {
    {
        std::lock_guard lock(mutex_);
        sequencer_.play(std::move(piece), repeats);
        restarted_ = true;
    }
    wake_.notify_all();
}

void ClockedPlayer::stop() {
    {
        std::lock_guard lock(mutex_);
        sequencer_.stop();
    }
    wake_.notify_all();
}

void ClockedPlayer::send(const uint8_t* message, std::size_t length) {
    queued_.insert(queued_.end(), message, message + length);
    queuedLengths_.push_back(length);
}

void ClockedPlayer::run() {
    using Clock = std::chrono::steady_clock;
    std::vector<uint8_t> sending;
    std::vector<std::size_t> sendingLengths;
    Clock::time_point start;
    int64_t consumed = 0;
    std::unique_lock lock(mutex_);
    for (;;) {
        if (sequencer_.isPlaying()) {
            if (restarted_) {
                restarted_ = false;
                start = Clock::now();
                consumed = 0;
            }
            // Time is counted from the start of the piece, so rounding never adds up to a drift.
            const auto elapsed =
                std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start);
            const int64_t due = elapsed.count() * kClockRate / 1'000'000;
            while (consumed < due && sequencer_.isPlaying()) {
                consumed += sequencer_.step(
                    static_cast<uint32_t>(std::min<int64_t>(due - consumed, kClockRate)));
            }
        }
        if (!queuedLengths_.empty()) {
            // The queue is taken whole and sent in order, by this thread alone, so a stop's
            // silence never overtakes the notes before it.
            sending.swap(queued_);
            sendingLengths.swap(queuedLengths_);
            lock.unlock();
            std::size_t at = 0;
            for (const std::size_t length : sendingLengths) {
                output_.send(sending.data() + at, length);
                at += length;
            }
            sending.clear();
            sendingLengths.clear();
            lock.lock();
            continue;
        }
        if (quit_) {
            return;
        }
        if (sequencer_.isPlaying()) {
            wake_.wait_for(lock, std::chrono::milliseconds(2));
        } else {
            wake_.wait(lock, [this] {
                return quit_ || sequencer_.isPlaying() || !queuedLengths_.empty();
            });
        }
    }
}
