// libFuzzer target: the Standard MIDI File reader, and the sequencer over what it accepts.
#include <cstddef>
#include <cstdint>

#include "audio/MidiReader.h"
#include "audio/Sequencer.h"

namespace {

// Touches every byte of every message, so that a bad offset or length shows up under ASan.
class Sink : public MidiOutput {
  public:
    void send(const uint8_t* message, std::size_t length) override {
        for (std::size_t i = 0; i < length; ++i) {
            sum = sum + message[i];
        }
    }
    volatile unsigned sum = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    auto piece = readMidi(data, size);
    if (!piece) {
        return 0;
    }
    Sink sink;
    Sequencer sequencer(sink, 48000);
    sequencer.play(piece, 2);
    // A bounded number of steps: a long piece must not make one input take forever.
    for (int i = 0; i < 20000 && sequencer.isPlaying(); ++i) {
        sequencer.step(4096);
    }
    return 0;
}
