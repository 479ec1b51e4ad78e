#pragma once

#include <cstdint>
#include <memory>

#include "audio/MusicSegment.h"

// The opened MIDI output on which the music plays.
class MusicPort {
  public:
    virtual ~MusicPort() = default;
    // Replaces whatever plays at once.
    virtual void play(std::shared_ptr<const MidiPiece> piece, uint32_t repeats) = 0;
    virtual void stop() = 0;
};
