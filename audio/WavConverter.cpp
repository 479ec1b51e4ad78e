#include "audio/WavConverter.h"

#include <SDL.h>

#include <cstring>

namespace {

constexpr uint32_t kMinRate = 4000;
constexpr uint32_t kMaxRate = 192000;

// SDL's converters know no 24-bit samples: widen them to 32 bits first.
std::vector<uint8_t> widen24(const std::vector<uint8_t>& data, std::size_t samples) {
    std::vector<uint8_t> out(samples * 4);
    for (std::size_t i = 0; i < samples; ++i) {
        out[4 * i] = 0;
        std::memcpy(&out[4 * i + 1], &data[3 * i], 3);
    }
    return out;
}

// SDL's format for the samples of a sound: 8- and 16-bit PCM as they are, 24-bit PCM once widened,
// 32-bit PCM and float. None for anything else, with the reason.
std::optional<SDL_AudioFormat> sampleFormat(const WavSound& sound, std::string& why) {
    const uint16_t bits = sound.format.bitsPerSample;
    if (sound.sampleFormat == kWaveFormatFloat) {
        if (bits == 32)
            return AUDIO_F32LSB;
        why = std::to_string(bits) + "-bit float samples (32-bit taken)";
        return std::nullopt;
    }
    if (sound.sampleFormat != kWaveFormatPcm) {
        why = "unsupported sample format " + std::to_string(sound.sampleFormat) +
              " (PCM and float taken)";
        return std::nullopt;
    }
    switch (bits) {
        case 8:
            return AUDIO_U8;
        case 16:
            return AUDIO_S16LSB;
        case 24:
        case 32:
            return AUDIO_S32LSB;
        default:
            why = std::to_string(bits) + "-bit samples (8, 16, 24 or 32 taken)";
            return std::nullopt;
    }
}

std::optional<std::vector<float>> convert(const WavSound& sound, uint32_t deviceRate,
                                          std::string& why) {
    const WavFormat& f = sound.format;
    const std::optional<SDL_AudioFormat> from = sampleFormat(sound, why);
    if (!from) {
        return std::nullopt;
    }
    if (f.channels < 1 || f.channels > 8) {
        why = std::to_string(f.channels) + " channels (1 to 8 taken)";
        return std::nullopt;
    }
    if (f.samplesPerSec < kMinRate || f.samplesPerSec > kMaxRate) {
        why = "a rate of " + std::to_string(f.samplesPerSec) + " Hz (" + std::to_string(kMinRate) +
              " to " + std::to_string(kMaxRate) + " taken)";
        return std::nullopt;
    }
    const std::size_t frameBytes = std::size_t{f.channels} * (f.bitsPerSample / 8u);
    const std::size_t frames = sound.data.size() / frameBytes;
    if (frames == 0) {
        why = "no whole sample frame";
        return std::nullopt;
    }
    std::vector<uint8_t> input;
    if (f.bitsPerSample == 24) {
        input = widen24(sound.data, frames * f.channels);
    } else {
        input.assign(sound.data.begin(), sound.data.begin() + frames * frameBytes);
    }

    SDL_AudioCVT cvt;
    if (SDL_BuildAudioCVT(&cvt, *from, static_cast<Uint8>(f.channels),
                          static_cast<int>(f.samplesPerSec), AUDIO_F32SYS, 2,
                          static_cast<int>(deviceRate)) < 0) {
        why = std::string("cannot be converted: ") + SDL_GetError();
        return std::nullopt;
    }
    if (input.size() >
        static_cast<std::size_t>(SDL_MAX_SINT32 / (cvt.len_mult > 0 ? cvt.len_mult : 1))) {
        why = "too long to convert";
        return std::nullopt;
    }
    cvt.len = static_cast<int>(input.size());
    std::vector<uint8_t> work(static_cast<std::size_t>(cvt.len) * cvt.len_mult);
    std::memcpy(work.data(), input.data(), input.size());
    cvt.buf = work.data();
    if (cvt.needed && SDL_ConvertAudio(&cvt) != 0) {
        why = std::string("cannot be converted: ") + SDL_GetError();
        return std::nullopt;
    }
    const std::size_t outBytes = cvt.needed ? static_cast<std::size_t>(cvt.len_cvt) : input.size();
    // A couple of frames at a high rate can come out as no frame at all.
    std::vector<float> stereo(outBytes / sizeof(float) / 2 * 2);
    if (stereo.empty()) {
        why = "too short to give a frame at " + std::to_string(deviceRate) + " Hz";
        return std::nullopt;
    }
    std::memcpy(stereo.data(), work.data(), stereo.size() * sizeof(float));
    return stereo;
}

}  // namespace

std::optional<std::vector<float>> convertToStereo(const WavSound& sound, uint32_t deviceRate,
                                                  std::string* why) {
    std::string reason;
    std::optional<std::vector<float>> stereo = convert(sound, deviceRate, reason);
    if (!stereo && why) {
        *why = std::move(reason);
    }
    return stereo;
}
