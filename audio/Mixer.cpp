#include "audio/Mixer.h"

#include <algorithm>
#include <cmath>

void Mixer::addVoice(Voice* voice) {
    voices_.push_back(voice);
}

void Mixer::removeVoice(Voice* voice) {
    std::erase(voices_, voice);
}

void Mixer::setMusic(MusicSource* music) {
    music_ = music;
}

void Mixer::render(int16_t* stereo, uint32_t frames) {
    while (frames > 0) {
        const uint32_t n = std::min(frames, kBlockFrames);
        renderBlock(stereo, n);
        stereo += 2 * static_cast<std::size_t>(n);
        frames -= n;
    }
}

void Mixer::renderBlock(int16_t* stereo, uint32_t frames) {
    float* mix = mix_.data();
    if (music_ != nullptr) {
        music_->renderMusic(mix, frames);
    } else {
        std::fill_n(mix, 2 * frames, 0.0f);
    }
    for (Voice* voice : voices_) {
        if (!voice->playing) {
            continue;
        }
        const std::size_t total = voice->samples.size() / 2;
        const std::size_t n = std::min<std::size_t>(frames, total - voice->position);
        const float* from = voice->samples.data() + 2 * voice->position;
        for (std::size_t i = 0; i < 2 * n; ++i) {
            mix[i] += from[i];
        }
        voice->position += n;
        if (voice->position >= total) {
            voice->playing = false;
            voice->position = 0;
        }
    }
    limit(mix, stereo, frames);
}

void Mixer::limit(const float* mix, int16_t* stereo, uint32_t frames) {
    for (uint32_t i = 0; i < 2 * frames; i += 2) {
        const float peak = std::max(std::fabs(mix[i]), std::fabs(mix[i + 1]));
        if (peak * gain_ > kCeiling)
            gain_ = kCeiling / peak;
        stereo[i] = static_cast<int16_t>(std::lrint(mix[i] * gain_ * 32767.0f));
        stereo[i + 1] = static_cast<int16_t>(std::lrint(mix[i + 1] * gain_ * 32767.0f));
        gain_ += (1.0f - gain_) * kRelease;
    }
}
