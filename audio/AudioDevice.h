#pragma once

#include <SDL.h>

#include <cstdint>
#include <string>

#include "audio/Mixer.h"

// The sound device and its mixer. The device's callback and the program's thread meet only under
// SDL's audio lock; without an open device nothing else touches the mixer.
class AudioDevice {
  public:
    static constexpr uint32_t kPreferredRate = 48000;
    static constexpr uint16_t kPeriodFrames = 512;  // an effect is heard within about 11 ms

    // Opens the default sound device when asked; when that fails, error() says why.
    explicit AudioDevice(bool open);
    ~AudioDevice();
    AudioDevice(const AudioDevice&) = delete;
    AudioDevice& operator=(const AudioDevice&) = delete;

    bool isOpen() const { return id_ != 0; }
    const std::string& error() const { return error_; }
    uint32_t sampleRate() const { return rate_; }
    // Stops the callback for good; buffers that outlive the audio system keep the mixer alive.
    void close();
    // Holds or resumes the whole output, effects and music alike, where it is.
    void pause(bool paused);

    // Holds the audio lock for the mixer while it lives.
    class Lock {
      public:
        explicit Lock(AudioDevice& device);
        ~Lock();
        Lock(const Lock&) = delete;
        Lock& operator=(const Lock&) = delete;

      private:
        SDL_AudioDeviceID id_;
    };
    // Only under a Lock.
    Mixer& mixer() { return mixer_; }

  private:
    static void SDLCALL feed(void* self, Uint8* stream, int length);

    SDL_AudioDeviceID id_ = 0;
    bool subsystem_ = false;
    uint32_t rate_ = kPreferredRate;
    std::string error_;
    Mixer mixer_;
};
