#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "audio/MusicSegment.h"  // MusicSegment: a parsed Standard MIDI File
#include "audio/SoundBuffer.h"   // SoundBuffer: one static voice holding a whole sound

class AudioDevice;
class MusicPort;

// The one audio object of each program: the sound device with its mixer, and the music on the
// chosen MIDI port (the built-in synthesizer by default, or an ALSA sequencer port).
class AudioSystem {
  public:
    enum class State : uint32_t { Constructed = 1, MusicReady = 2, Failed = 3 };
    // Offline opens no sound device: the mix moves on only through Render, sample for sample the
    // same on every run.
    enum class Output { Device, Offline };
    struct Options {
        Output output = Output::Device;
        // Tried in order; the first that loads is the synthesizer's instrument set.
        std::vector<std::filesystem::path> soundFonts = DefaultSoundFonts();
    };

    static std::vector<std::filesystem::path> DefaultSoundFonts();

    AudioSystem();
    explicit AudioSystem(Options options);
    ~AudioSystem();
    AudioSystem(const AudioSystem&) = delete;
    AudioSystem& operator=(const AudioSystem&) = delete;

    // window and soundCooperativeLevel are unused on Linux (kept for the callers' sake).
    // portName null = the default port.
    bool InitMusic(void* window, uint32_t soundCooperativeLevel, const char* portName);
    // A file that cannot be loaded gives null; why, when given, then says why in a few words.
    std::unique_ptr<MusicSegment> LoadMidi(const char* fileName, std::string* why = nullptr);
    void PlayMusic(MusicSegment* segment);
    void StopMusic();
    std::vector<std::string> EnumPortNames();
    // bufferFlags is unused: every buffer is a static one (kept for the callers' sake). Null, with
    // why as for LoadMidi, when the file cannot be loaded.
    std::unique_ptr<SoundBuffer> LoadWav(const char* fileName, uint32_t bufferFlags,
                                         std::string* why = nullptr);
    State GetState() const;
    // Holds the sound device, effects and music, while the game is paused; false goes on.
    void Pause(bool paused);

    // Mixes the next frames, 16-bit stereo at SampleRate(), as the sound device is fed.
    void Render(int16_t* stereo, uint32_t frames);
    uint32_t SampleRate() const;

  private:
    // Prints one line on standard error, only for the first problem: running silently is normal
    // on a machine without sound.
    void warn(const std::string& message);

    Options options_;
    std::shared_ptr<AudioDevice> device_;
    std::unique_ptr<MusicPort> port_;
    State state_ = State::Constructed;
    bool warned_ = false;
};
