#pragma once

#include <cstdint>
#include <memory>
#include <vector>

// One MIDI message of a piece at its time from the piece's start.
struct MidiEvent {
    int64_t micros = 0;
    uint32_t offset =
        0;  // into MidiPiece::bytes: the whole message, a system exclusive with its F0
    uint32_t length = 0;
};

// A parsed Standard MIDI File: every track merged in time order, tempo changes already applied.
struct MidiPiece {
    std::vector<MidiEvent> events;
    std::vector<uint8_t> bytes;
    int64_t lengthMicros = 0;  // where the piece ends and a loop starts again
};

// A piece as the program holds it. The player shares the piece, so a segment may be released
// while it plays.
class MusicSegment {
  public:
    static constexpr uint32_t kRepeatForever = 0xFFFFFFFF;

    explicit MusicSegment(std::shared_ptr<const MidiPiece> piece) : piece_(std::move(piece)) {}

    // How many times the piece plays again after its first time; music loops without end unless
    // told otherwise.
    void SetRepeats(uint32_t repeats) { repeats_ = repeats; }
    uint32_t GetRepeats() const { return repeats_; }
    const std::shared_ptr<const MidiPiece>& piece() const { return piece_; }

  private:
    std::shared_ptr<const MidiPiece> piece_;
    uint32_t repeats_ = kRepeatForever;
};
