#pragma once

#include <array>
#include <cstdint>
#include <vector>

// The mixer's state of one sound: its samples at the device rate, stereo interleaved floats.
struct Voice {
    std::vector<float> samples;
    std::size_t position = 0;  // in frames; back to 0 when a play ends
    bool playing = false;
};

// Whatever renders the music into the mix (the built-in synthesizer).
class MusicSource {
  public:
    virtual ~MusicSource() = default;
    // Writes (not adds) frames of stereo interleaved samples.
    virtual void renderMusic(float* stereo, uint32_t frames) = 0;
};

// Adds the music and every playing voice and holds the sum under -1 dBFS: where an effect over the
// music would pass that, the gain drops at once to meet it and comes back within a few tens of
// milliseconds, so a loud moment is evened out rather than clipped. A mix that stays under it
// passes unchanged. Not locked: its owner serialises every call with the sound device's callback.
class Mixer {
  public:
    void addVoice(Voice* voice);
    void removeVoice(Voice* voice);
    void setMusic(MusicSource* music);
    void render(int16_t* stereo, uint32_t frames);

  private:
    static constexpr uint32_t kBlockFrames = 512;
    static constexpr float kCeiling = 0.891f;  // -1 dBFS
    // The share of the way back to full gain taken each frame: about 40 ms at 48 kHz.
    static constexpr float kRelease = 0.0005f;

    void renderBlock(int16_t* stereo, uint32_t frames);
    void limit(const float* mix, int16_t* stereo, uint32_t frames);

    std::vector<Voice*> voices_;
    MusicSource* music_ = nullptr;
    float gain_ = 1.0f;
    std::array<float, std::size_t{kBlockFrames} * 2> mix_{};
};
