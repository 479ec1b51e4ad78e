#pragma once

#include <memory>

#include "audio/BuiltInSynth.h"
#include "audio/Mixer.h"
#include "audio/MusicPort.h"
#include "audio/Sequencer.h"

class AudioDevice;

// The default port: the sequencer drives the built-in synthesizer inside the mixer, so the music
// moves on exactly as fast as the sound device (or an offline render) consumes it.
class SynthPort : public MusicPort, public MusicSource {
  public:
    SynthPort(std::shared_ptr<AudioDevice> device, std::unique_ptr<BuiltInSynth> synth);
    ~SynthPort() override;

    void play(std::shared_ptr<const MidiPiece> piece, uint32_t repeats) override;
    void stop() override;
    void renderMusic(float* stereo, uint32_t frames) override;

  private:
    std::shared_ptr<AudioDevice> device_;
    std::unique_ptr<BuiltInSynth> synth_;
    Sequencer sequencer_;
};
