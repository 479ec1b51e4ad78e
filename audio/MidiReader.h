#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "audio/MusicSegment.h"

// Largest Standard MIDI File taken; real pieces are far smaller.
inline constexpr std::size_t kMaxMidiFileBytes = 16u << 20;

// Parses a Standard MIDI File (format 0, 1 or 2; tracks are merged) into a piece whose events carry
// their times in microseconds, with every tempo change and the time division applied. Running
// status is honoured; meta events other than tempo and end of track are dropped. nullptr for a
// damaged file: a chunk longer than the data, a number or message cut off, a data byte where a
// status is needed, no track at all, or a piece longer than a day.
std::shared_ptr<const MidiPiece> readMidi(const uint8_t* data, std::size_t size);
