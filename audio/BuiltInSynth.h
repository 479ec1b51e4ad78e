#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <vector>

#include "audio/MidiOutput.h"

// The built-in General MIDI synthesizer, the default port, which the music's sequencer drives
// inside the mixer: FluidSynth on the desktop (SoftSynth.h), the page's own in a browser
// (audio/web/PageSynth.cpp).
class BuiltInSynth : public MidiOutput {
  public:
    // Writes (not adds) frames of stereo interleaved samples.
    virtual void render(float* stereo, uint32_t frames) = 0;
};

// This build's synthesizer with the first of soundFonts that loads; null when none does.
std::unique_ptr<BuiltInSynth> makeBuiltInSynth(const std::vector<std::filesystem::path>& soundFonts,
                                               uint32_t sampleRate);
