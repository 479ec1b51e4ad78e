#pragma once

#include <cstdint>
#include <memory>

#include "audio/MidiOutput.h"
#include "audio/MusicSegment.h"

// Plays a piece on an output, its events at sample times: the caller moves time on in steps that
// end at the next event, so that the synthesizer renders the sound up to an event before it
// happens. At the piece's end it wraps to the start without a gap.
class Sequencer {
  public:
    Sequencer(MidiOutput& output, uint32_t sampleRate);

    // Silences the output, then starts the piece from its beginning at once.
    void play(std::shared_ptr<const MidiPiece> piece, uint32_t repeats);
    // Ends the piece and sends all-notes-off, all-sound-off and reset-controllers on all 16
    // channels, so that no note hangs.
    void stop();
    bool isPlaying() const { return piece_ != nullptr; }

    // Sends every event due now, then moves on by at most maxFrames, never past the next event,
    // and returns how far it moved (at least 1 when maxFrames is).
    uint32_t step(uint32_t maxFrames);

  private:
    int64_t frameAt(int64_t micros) const;
    void dispatchDue();
    void silence();

    MidiOutput& output_;
    uint32_t rate_;
    std::shared_ptr<const MidiPiece> piece_;
    uint32_t repeatsLeft_ = 0;
    std::size_t next_ = 0;
    int64_t position_ = 0;  // frames since the piece's start
    int64_t endFrame_ = 0;
};
