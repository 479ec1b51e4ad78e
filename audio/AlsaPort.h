#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "audio/ClockedPlayer.h"
#include "audio/MidiOutput.h"
#include "audio/MusicPort.h"

struct _snd_seq;
struct snd_seq_event;

// The sequencer event that carries one MIDI message: a channel message, or a system exclusive
// whose event points at the message's bytes, which must outlive it. Source and destination are
// left unset. False for any other message, which a port does not take.
bool toSequencerEvent(const uint8_t* message, std::size_t length, snd_seq_event& event);

// Music on an ALSA sequencer port, played by the clock on a thread of its own.
class AlsaPort : public MusicPort, private MidiOutput {
  public:
    // nullptr when the port cannot be reached.
    static std::unique_ptr<AlsaPort> open(int client, int port);

    void play(std::shared_ptr<const MidiPiece> piece, uint32_t repeats) override;
    void stop() override;

  private:
    struct CloseSequencer {
        void operator()(_snd_seq* seq) const;
    };

    AlsaPort(_snd_seq* seq, int ownPort);
    // Only from the player's thread.
    void send(const uint8_t* message, std::size_t length) override;

    std::unique_ptr<_snd_seq, CloseSequencer> seq_;
    int ownPort_;
    // Last, so that it stops, and sends its silence, while the sequencer is still open.
    ClockedPlayer player_;
};
