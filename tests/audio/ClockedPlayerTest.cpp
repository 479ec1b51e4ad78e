#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <future>
#include <mutex>

#include "audio/ClockedPlayer.h"
#include "audio/MidiReader.h"
#include "support/AudioFiles.h"

using namespace audiofiles;
using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

namespace {

// Records what arrives and when; while shut, holds each sender until it opens, as a port whose
// queue is full does.
class Gate : public MidiOutput {
  public:
    struct Arrival {
        Clock::time_point at;
        Bytes message;
    };

    explicit Gate(bool open) : open_(open) {}

    void send(const uint8_t* message, std::size_t length) override {
        std::unique_lock lock(mutex_);
        ++waiting_;
        changed_.notify_all();
        changed_.wait(lock, [this] { return open_; });
        --waiting_;
        arrivals_.push_back({Clock::now(), Bytes(message, message + length)});
        changed_.notify_all();
    }

    void open() {
        std::lock_guard lock(mutex_);
        open_ = true;
        changed_.notify_all();
    }

    // Waits at most five seconds for the condition on what arrived and how many senders wait.
    bool waitUntil(const std::function<bool(const std::vector<Arrival>&, int)>& done) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, 5s, [&] { return done(arrivals_, waiting_); });
    }

    std::vector<Arrival> arrivals() {
        std::lock_guard lock(mutex_);
        return arrivals_;
    }

  private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool open_;
    int waiting_ = 0;
    std::vector<Arrival> arrivals_;
};

bool isNoteOn(const Bytes& m) {
    return (m[0] & 0xF0) == 0x90;
}

// The silence of a play or a stop: three controllers on each of the 16 channels.
constexpr std::size_t kSilence = 48;

bool endsInSilence(const std::vector<Gate::Arrival>& arrivals) {
    if (arrivals.size() < kSilence) {
        return false;
    }
    for (std::size_t i = arrivals.size() - kSilence; i < arrivals.size(); ++i) {
        if ((arrivals[i].message[0] & 0xF0) != 0xB0) {
            return false;
        }
    }
    return true;
}

// 96 ticks a quarter at 120 beats a minute: a tick is 5208 microseconds.
std::shared_ptr<const MidiPiece> piece(uint32_t noteTicks) {
    const Bytes file = smf(0, 96, {track({{0, {0x90, 60, 100}}, {noteTicks, {0x80, 60, 0}}})});
    return readMidi(file.data(), file.size());
}

TEST(ClockedPlayer, SendsEachMessageWhenItIsDueAndNotBefore) {
    Gate output(true);
    ClockedPlayer player(output);
    const auto start = Clock::now();
    player.play(piece(12), 0);
    ASSERT_TRUE(output.waitUntil([](const auto& arrivals, int) {
        return !arrivals.empty() && arrivals.back().message[0] == 0x80;
    }));
    const auto arrivals = output.arrivals();
    ASSERT_EQ(arrivals.size(), kSilence + 2);
    EXPECT_EQ(arrivals[kSilence].message, (Bytes{0x90, 60, 100}));
    EXPECT_GE(arrivals.back().at - start, 62ms);
}

TEST(ClockedPlayer, AnOutputThatBlocksHoldsUpNeitherPlayNorStop) {
    Gate output(false);
    ClockedPlayer player(output);
    const auto piece1s = piece(192);
    auto calls = std::async(std::launch::async, [&] {
        player.play(piece1s, MusicSegment::kRepeatForever);
        output.waitUntil([](const auto&, int waiting) { return waiting > 0; });
        player.play(piece1s, MusicSegment::kRepeatForever);
        player.stop();
        player.play(piece1s, MusicSegment::kRepeatForever);
        player.stop();
    });
    const bool returned = calls.wait_for(2s) == std::future_status::ready;
    output.open();
    calls.wait();
    EXPECT_TRUE(returned) << "play and stop waited for the output";
    // Everything arrives in the order it was sent: the last stop's silence comes last.
    ASSERT_TRUE(
        output.waitUntil([](const auto& arrivals, int) { return endsInSilence(arrivals); }));
    std::this_thread::sleep_for(50ms);
    const auto arrivals = output.arrivals();
    EXPECT_TRUE(endsInSilence(arrivals));
    EXPECT_GE(arrivals.size(), 4 * kSilence);
}

TEST(ClockedPlayer, GoingAwaySilencesTheOutputFirst) {
    Gate output(true);
    {
        ClockedPlayer player(output);
        player.play(piece(192), MusicSegment::kRepeatForever);
        ASSERT_TRUE(output.waitUntil([](const auto& arrivals, int) {
            return !arrivals.empty() && isNoteOn(arrivals.back().message);
        }));
    }
    const auto arrivals = output.arrivals();
    EXPECT_EQ(arrivals.size(), 2 * kSilence + 1);
    EXPECT_TRUE(endsInSilence(arrivals));
}

}  // namespace
