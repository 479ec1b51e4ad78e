#include "audio/SoftSynth.h"

#include <fluidsynth.h>

namespace {

void quietFluidSynth() {
    for (int level = FLUID_PANIC; level < LAST_LOG_LEVEL; ++level) {
        fluid_set_log_function(level, nullptr, nullptr);
    }
}

}  // namespace

std::unique_ptr<SoftSynth> SoftSynth::create(const std::vector<std::filesystem::path>& soundFonts,
                                             uint32_t sampleRate) {
    quietFluidSynth();
    fluid_settings_t* settings = new_fluid_settings();
    if (settings == nullptr) {
        return nullptr;
    }
    fluid_settings_setnum(settings, "synth.sample-rate", sampleRate);
    // Locking the SoundFont's pages needs privileges a game does not have.
    fluid_settings_setint(settings, "synth.lock-memory", 0);
    // The game's music near -18 dBFS RMS, the level of its sound effects, with its peaks under
    // -1 dBFS; the page's synthesizer has the same gain.
    fluid_settings_setnum(settings, "synth.gain", 0.9);
    // No reverb or chorus: their tails would ring on for a second after the music stops.
    fluid_settings_setint(settings, "synth.reverb.active", 0);
    fluid_settings_setint(settings, "synth.chorus.active", 0);
    fluid_synth_t* synth = new_fluid_synth(settings);
    if (synth == nullptr) {
        delete_fluid_settings(settings);
        return nullptr;
    }
    std::unique_ptr<SoftSynth> result(new SoftSynth(settings, synth));
    for (const auto& file : soundFonts) {
        if (fluid_is_soundfont(file.c_str()) &&
            fluid_synth_sfload(synth, file.c_str(), 1) != FLUID_FAILED) {
            return result;
        }
    }
    return nullptr;
}

SoftSynth::SoftSynth(fluid_settings_t* settings, fluid_synth_t* synth)
    : settings_(settings), synth_(synth) {}

SoftSynth::~SoftSynth() {
    delete_fluid_synth(synth_);
    delete_fluid_settings(settings_);
}

void SoftSynth::send(const uint8_t* message, std::size_t length) {
    if (length == 0) {
        return;
    }
    const uint8_t status = message[0];
    const int channel = status & 0x0F;
    const int d1 = length > 1 ? message[1] : 0;
    const int d2 = length > 2 ? message[2] : 0;
    switch (status & 0xF0) {
        case 0x80:
            fluid_synth_noteoff(synth_, channel, d1);
            break;
        case 0x90:
            fluid_synth_noteon(synth_, channel, d1, d2);
            break;
        case 0xA0:
            fluid_synth_key_pressure(synth_, channel, d1, d2);
            break;
        case 0xB0:
            fluid_synth_cc(synth_, channel, d1, d2);
            break;
        case 0xC0:
            fluid_synth_program_change(synth_, channel, d1);
            break;
        case 0xD0:
            fluid_synth_channel_pressure(synth_, channel, d1);
            break;
        case 0xE0:
            fluid_synth_pitch_bend(synth_, channel, d1 | (d2 << 7));
            break;
        case 0xF0:
            // FluidSynth takes a system exclusive without its F0 and F7.
            if (status == 0xF0 && length >= 2) {
                const std::size_t body = length - 1 - (message[length - 1] == 0xF7 ? 1 : 0);
                fluid_synth_sysex(synth_, reinterpret_cast<const char*>(message + 1),
                                  static_cast<int>(body), nullptr, nullptr, nullptr, 0);
            }
            break;
    }
}

void SoftSynth::render(float* stereo, uint32_t frames) {
    fluid_synth_write_float(synth_, static_cast<int>(frames), stereo, 0, 2, stereo, 1, 2);
}

std::unique_ptr<BuiltInSynth> makeBuiltInSynth(const std::vector<std::filesystem::path>& soundFonts,
                                               uint32_t sampleRate) {
    return SoftSynth::create(soundFonts, sampleRate);
}
