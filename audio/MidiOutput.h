#pragma once

#include <cstddef>
#include <cstdint>

// Where a sequencer sends its messages: the synthesizer or an ALSA port.
class MidiOutput {
  public:
    virtual ~MidiOutput() = default;
    // One complete message: a channel message, or a system exclusive from F0 to its end.
    virtual void send(const uint8_t* message, std::size_t length) = 0;
};
