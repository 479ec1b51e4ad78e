#include "audio/AudioSystem.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>

#include "audio/AlsaPortList.h"
#include "audio/AudioDevice.h"
#include "audio/MidiReader.h"
#include "audio/MusicSegment.h"
#include "audio/PortNames.h"
#include "audio/SoundBuffer.h"
#include "audio/SynthPort.h"
#include "audio/WavConverter.h"
#include "audio/WavReader.h"
#include "platform/OpenFailure.h"
#include "platform/WholeFile.h"

std::vector<std::filesystem::path> AudioSystem::DefaultSoundFonts() {
    return {"/usr/share/sounds/sf2/default-GM.sf2", "/usr/share/sounds/sf3/default-GM.sf3",
            "/usr/share/sounds/sf2/TimGM6mb.sf2"};
}

AudioSystem::AudioSystem() : AudioSystem(Options{}) {}

AudioSystem::AudioSystem(Options options) : options_(std::move(options)) {
    silenceAlsaErrors();
    device_ = std::make_shared<AudioDevice>(options_.output == Output::Device);
    if (options_.output == Output::Device && !device_->isOpen()) {
        warn("no sound device (" + device_->error() + "); running silently");
    }
}

AudioSystem::~AudioSystem() {
    port_.reset();
    device_->close();
}

void AudioSystem::warn(const std::string& message) {
    if (!warned_) {
        warned_ = true;
        std::fprintf(stderr, "audio: %s\n", message.c_str());
    }
}

bool AudioSystem::InitMusic(void*, uint32_t, const char* portName) {
    if (state_ != State::Constructed) {
        return false;
    }
    const std::vector<AlsaPortInfo> alsaPorts =
        portName != nullptr ? listAlsaOutputPorts() : std::vector<AlsaPortInfo>{};
    std::size_t chosen = 0;
    if (portName != nullptr) {
        std::vector<std::string> names{kSoftwareSynthesizerName};
        for (const AlsaPortInfo& p : alsaPorts) {
            names.push_back(p.description);
        }
        chosen = findPort(names, portName).value_or(0);
    }
    if (chosen == 0) {
        std::unique_ptr<BuiltInSynth> synth =
            makeBuiltInSynth(options_.soundFonts, device_->sampleRate());
        if (!synth) {
            warn("no General MIDI SoundFont could be loaded; the music is silent");
            state_ = State::Failed;
            return false;
        }
        port_ = std::make_unique<SynthPort>(device_, std::move(synth));
    } else {
        const AlsaPortInfo& p = alsaPorts[chosen - 1];
        port_ = openAlsaPort(p);
        if (!port_) {
            warn("cannot open the MIDI port \"" + p.description + "\"; the music is silent");
            state_ = State::Failed;
            return false;
        }
    }
    state_ = State::MusicReady;
    return true;
}

namespace {

// Opens a file to be read whole; nothing, with the reason, when it cannot be.
std::optional<std::ifstream> openWhole(const char* fileName, std::string& why) {
    if (fileName == nullptr) {
        why = "no file name";
        return std::nullopt;
    }
    // Looked at before it is opened: a pipe would wait for a writer in the open.
    std::error_code error;
    if (std::filesystem::exists(fileName, error) &&
        !std::filesystem::is_regular_file(fileName, error)) {
        why = "not a regular file";
        return std::nullopt;
    }
    std::ifstream in(fileName, std::ios::binary);
    if (!in) {
        why = openFailure(errno);
        return std::nullopt;
    }
    return in;
}

// Stores the reason for the caller who asked for it, and gives the null of a failed load.
std::nullptr_t refuse(std::string* why, std::string reason) {
    if (why != nullptr) {
        *why = std::move(reason);
    }
    return nullptr;
}

}  // namespace

std::unique_ptr<MusicSegment> AudioSystem::LoadMidi(const char* fileName, std::string* why) {
    if (fileName == nullptr) {
        return refuse(why, "no file name");
    }
    const platform::WholeFile file = platform::readWholeFile(fileName, kMaxMidiFileBytes);
    if (file.fault != platform::WholeFile::Fault::None) {
        platform::FaultWords words;
        words.tooLarge = "too large (more than " + std::to_string(kMaxMidiFileBytes) + " bytes)";
        return refuse(why, platform::describe(file, kMaxMidiFileBytes, words));
    }
    const std::vector<uint8_t>& bytes = file.bytes;
    std::shared_ptr<const MidiPiece> piece = readMidi(bytes.data(), bytes.size());
    if (!piece) {
        return refuse(why, "not a Standard MIDI File, or a damaged one");
    }
    return std::make_unique<MusicSegment>(std::move(piece));
}

void AudioSystem::PlayMusic(MusicSegment* segment) {
    if (segment != nullptr && port_) {
        port_->play(segment->piece(), segment->GetRepeats());
    }
}

void AudioSystem::StopMusic() {
    if (port_) {
        port_->stop();
    }
}

std::vector<std::string> AudioSystem::EnumPortNames() {
    return listPortDescriptions();
}

std::unique_ptr<SoundBuffer> AudioSystem::LoadWav(const char* fileName, uint32_t,
                                                  std::string* why) {
    std::string reason;
    std::optional<std::ifstream> in = openWhole(fileName, reason);
    if (!in) {
        return refuse(why, reason);
    }
    std::optional<WavSound> sound = readWav(*in, &reason);
    if (!sound) {
        return refuse(why, reason);
    }
    std::optional<std::vector<float>> stereo =
        convertToStereo(*sound, device_->sampleRate(), &reason);
    if (!stereo) {
        return refuse(why, reason);
    }
    return std::make_unique<SoundBuffer>(device_, std::move(*stereo));
}

void AudioSystem::Pause(bool paused) {
    device_->pause(paused);
}

AudioSystem::State AudioSystem::GetState() const {
    return state_;
}

void AudioSystem::Render(int16_t* stereo, uint32_t frames) {
    AudioDevice::Lock lock(*device_);
    device_->mixer().render(stereo, frames);
}

uint32_t AudioSystem::SampleRate() const {
    return device_->sampleRate();
}
