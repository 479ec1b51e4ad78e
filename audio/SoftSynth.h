#pragma once

#include <filesystem>
#include <memory>
#include <vector>

#include "audio/BuiltInSynth.h"

struct _fluid_hashtable_t;
struct _fluid_synth_t;

// The desktop's built-in synthesizer: FluidSynth with one SoundFont, rendered on demand.
class SoftSynth : public BuiltInSynth {
  public:
    // nullptr when none of the SoundFonts loads.
    static std::unique_ptr<SoftSynth> create(const std::vector<std::filesystem::path>& soundFonts,
                                             uint32_t sampleRate);
    ~SoftSynth() override;
    SoftSynth(const SoftSynth&) = delete;
    SoftSynth& operator=(const SoftSynth&) = delete;

    void send(const uint8_t* message, std::size_t length) override;
    void render(float* stereo, uint32_t frames) override;

  private:
    SoftSynth(_fluid_hashtable_t* settings, _fluid_synth_t* synth);

    _fluid_hashtable_t* settings_;
    _fluid_synth_t* synth_;
};
