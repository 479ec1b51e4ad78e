#pragma once

#include <filesystem>
#include <memory>
#include <vector>

#include "audio/MidiOutput.h"

struct _fluid_hashtable_t;
struct _fluid_synth_t;

// The built-in General MIDI synthesizer: FluidSynth with one SoundFont, rendered on demand.
class SoftSynth : public MidiOutput {
  public:
    // nullptr when none of the SoundFonts loads.
    static std::unique_ptr<SoftSynth> create(const std::vector<std::filesystem::path>& soundFonts,
                                             uint32_t sampleRate);
    ~SoftSynth() override;
    SoftSynth(const SoftSynth&) = delete;
    SoftSynth& operator=(const SoftSynth&) = delete;

    void send(const uint8_t* message, std::size_t length) override;
    // Writes (not adds) frames of stereo interleaved samples.
    void render(float* stereo, uint32_t frames);

  private:
    SoftSynth(_fluid_hashtable_t* settings, _fluid_synth_t* synth);

    _fluid_hashtable_t* settings_;
    _fluid_synth_t* synth_;
};
