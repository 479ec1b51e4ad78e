#include "audio/AudioDevice.h"

AudioDevice::AudioDevice(bool open) {
    if (!open) {
        return;
    }
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        error_ = SDL_GetError();
        return;
    }
    subsystem_ = true;
    SDL_AudioSpec wanted{};
    wanted.freq = static_cast<int>(kPreferredRate);
    wanted.format = AUDIO_S16SYS;
    wanted.channels = 2;
    wanted.samples = kPeriodFrames;
    wanted.callback = &AudioDevice::feed;
    wanted.userdata = this;
    SDL_AudioSpec got{};
    id_ = SDL_OpenAudioDevice(nullptr, 0, &wanted, &got, SDL_AUDIO_ALLOW_FREQUENCY_CHANGE);
    if (id_ == 0) {
        error_ = SDL_GetError();
        return;
    }
    rate_ = static_cast<uint32_t>(got.freq);
    SDL_PauseAudioDevice(id_, 0);
}

AudioDevice::~AudioDevice() {
    close();
}

void AudioDevice::close() {
    if (id_ != 0) {
        SDL_CloseAudioDevice(id_);
        id_ = 0;
    }
    if (subsystem_) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        subsystem_ = false;
    }
}

void SDLCALL AudioDevice::feed(void* self, Uint8* stream, int length) {
    auto* device = static_cast<AudioDevice*>(self);
    device->mixer_.render(reinterpret_cast<int16_t*>(stream),
                          static_cast<uint32_t>(length) / (2 * sizeof(int16_t)));
}

AudioDevice::Lock::Lock(AudioDevice& device) : id_(device.id_) {
    if (id_ != 0) {
        SDL_LockAudioDevice(id_);
    }
}

AudioDevice::Lock::~Lock() {
    if (id_ != 0) {
        SDL_UnlockAudioDevice(id_);
    }
}

void AudioDevice::pause(bool paused) {
    if (id_ != 0)
        SDL_PauseAudioDevice(id_, paused ? 1 : 0);
}
