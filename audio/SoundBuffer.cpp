#include "audio/SoundBuffer.h"

#include <algorithm>

#include "audio/AudioDevice.h"

SoundBuffer::SoundBuffer(std::shared_ptr<AudioDevice> device, std::vector<float> stereo)
    : device_(std::move(device)) {
    voice_.samples = std::move(stereo);
    AudioDevice::Lock lock(*device_);
    device_->mixer().addVoice(&voice_);
}

SoundBuffer::~SoundBuffer() {
    AudioDevice::Lock lock(*device_);
    device_->mixer().removeVoice(&voice_);
}

bool SoundBuffer::IsPlaying() const {
    AudioDevice::Lock lock(*device_);
    return voice_.playing;
}

void SoundBuffer::SetCurrentPosition(std::size_t frame) {
    AudioDevice::Lock lock(*device_);
    voice_.position = std::min(frame, GetFrames());
}

void SoundBuffer::Play() {
    AudioDevice::Lock lock(*device_);
    if (voice_.position < GetFrames()) {
        voice_.playing = true;
    }
}

void SoundBuffer::restartOrPlay() {
    AudioDevice::Lock lock(*device_);
    if (voice_.playing) {
        voice_.position = 0;
    } else {
        voice_.playing = true;
    }
}

void playEffect(SoundBuffer* buffer) {
    if (buffer != nullptr) {
        buffer->restartOrPlay();
    }
}
