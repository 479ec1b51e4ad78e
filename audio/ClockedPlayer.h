#pragma once

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "audio/MidiOutput.h"
#include "audio/MusicPort.h"
#include "audio/Sequencer.h"

// Plays on an output that no mixer drives, such as an ALSA port: a thread of its own moves the
// sequencer on by the clock and sends each message the moment it is due. It sends outside the
// lock that play and stop take, so an output that blocks never holds up the game.
class ClockedPlayer : public MusicPort, private MidiOutput {
  public:
    explicit ClockedPlayer(MidiOutput& output);
    // Sends the silence of a stop before it returns.
    ~ClockedPlayer() override;
    ClockedPlayer(const ClockedPlayer&) = delete;
    ClockedPlayer& operator=(const ClockedPlayer&) = delete;

    void play(std::shared_ptr<const MidiPiece> piece, uint32_t repeats) override;
    void stop() override;

  private:
    static constexpr uint32_t kClockRate = 48000;

    // What the sequencer says is queued for the thread to send.
    void send(const uint8_t* message, std::size_t length) override;
    void run();

    MidiOutput& output_;
    std::mutex mutex_;
    std::condition_variable wake_;
    Sequencer sequencer_;
    // Messages queued and not yet sent, one after another, and their lengths.
    std::vector<uint8_t> queued_;
    std::vector<std::size_t> queuedLengths_;
    bool quit_ = false;
    bool restarted_ = false;  // a new piece: its clock starts now
    std::thread thread_;
};
