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

// Adds the music and every playing voice and clips the sum to 16 bits. Not locked: its owner
// serialises every call with the sound device's callback.
class Mixer {
  public:
    void addVoice(Voice* voice);
    void removeVoice(Voice* voice);
    void setMusic(MusicSource* music);
    void render(int16_t* stereo, uint32_t frames);

  private:
    static constexpr uint32_t kBlockFrames = 512;

    void renderBlock(int16_t* stereo, uint32_t frames);

    std::vector<Voice*> voices_;
    MusicSource* music_ = nullptr;
    std::array<float, std::size_t{kBlockFrames} * 2> mix_{};
};
