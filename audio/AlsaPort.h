#pragma once

#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

#include "audio/MidiOutput.h"
#include "audio/MusicPort.h"
#include "audio/Sequencer.h"

struct _snd_seq;
struct snd_seq_event;

// The sequencer event that carries one MIDI message: a channel message, or a system exclusive
// whose event points at the message's bytes, which must outlive it. Source and destination are
// left unset. False for any other message, which a port does not take.
bool toSequencerEvent(const uint8_t* message, std::size_t length, snd_seq_event& event);

// Music on an ALSA sequencer port: a thread of its own moves the sequencer on by the clock and
// sends each event the moment it is due.
class AlsaPort : public MusicPort, private MidiOutput {
  public:
    // nullptr when the port cannot be reached.
    static std::unique_ptr<AlsaPort> open(int client, int port);
    ~AlsaPort() override;

    void play(std::shared_ptr<const MidiPiece> piece, uint32_t repeats) override;
    void stop() override;

  private:
    static constexpr uint32_t kClockRate = 48000;

    AlsaPort(_snd_seq* seq, int ownPort);
    void send(const uint8_t* message, std::size_t length) override;
    void run();

    _snd_seq* seq_;
    int ownPort_;
    Sequencer sequencer_;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool quit_ = false;
    bool restarted_ = false;  // a new piece: its clock starts now
    std::thread thread_;
};
