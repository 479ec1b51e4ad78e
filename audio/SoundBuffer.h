#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "audio/Mixer.h"

class AudioDevice;

// One static voice holding a whole sound, converted to the device's rate and to stereo: it never
// overlaps itself and never loops.
class SoundBuffer {
  public:
    SoundBuffer(std::shared_ptr<AudioDevice> device, std::vector<float> stereo);
    ~SoundBuffer();
    SoundBuffer(const SoundBuffer&) = delete;
    SoundBuffer& operator=(const SoundBuffer&) = delete;

    bool IsPlaying() const;
    // Moves the voice to a frame; while playing, the sound goes on from there.
    void SetCurrentPosition(std::size_t frame);
    // Plays once from the current position (the start after a finished play).
    void Play();
    std::size_t GetFrames() const { return voice_.samples.size() / 2; }

    // The restart-or-play rule of playEffect, under one lock so that no end of play slips between
    // the status and the action.
    void restartOrPlay();

  private:
    std::shared_ptr<AudioDevice> device_;
    Voice voice_;
};

void playEffect(SoundBuffer* buffer);  // restart while playing, else play once; null does nothing
