#include "audio/SynthPort.h"

#include "audio/AudioDevice.h"

SynthPort::SynthPort(std::shared_ptr<AudioDevice> device, std::unique_ptr<BuiltInSynth> synth)
    : device_(std::move(device)),
      synth_(std::move(synth)),
      sequencer_(*synth_, device_->sampleRate()) {
    AudioDevice::Lock lock(*device_);
    device_->mixer().setMusic(this);
}

SynthPort::~SynthPort() {
    AudioDevice::Lock lock(*device_);
    sequencer_.stop();
    device_->mixer().setMusic(nullptr);
}

void SynthPort::play(std::shared_ptr<const MidiPiece> piece, uint32_t repeats) {
    AudioDevice::Lock lock(*device_);
    sequencer_.play(std::move(piece), repeats);
}

void SynthPort::stop() {
    AudioDevice::Lock lock(*device_);
    sequencer_.stop();
}

void SynthPort::renderMusic(float* stereo, uint32_t frames) {
    uint32_t done = 0;
    while (done < frames) {
        const uint32_t n = sequencer_.step(frames - done);
        synth_->render(stereo + 2 * static_cast<std::size_t>(done), n);
        done += n;
    }
}
