// quelvane-audio: plays a MIDI piece (looped) and sound effects at given times through the audio
// system, on the sound device or rendered to a WAV file that comes out the same on every run.
#include <chrono>
#include <cstdio>
#include <map>
#include <thread>

#include "audio/AudioSystem.h"
#include "audio/WavWriter.h"
#include "tools/audio/AudioToolOptions.h"

namespace {

constexpr uint32_t kSoundFlags = 2;  // a static buffer, as the game asks for its sounds

struct Loaded {
    std::unique_ptr<MusicSegment> music;
    std::map<std::string, std::unique_ptr<SoundBuffer>> sounds;
};

bool load(AudioSystem& audio, const AudioToolOptions& options, Loaded& loaded) {
    if (!options.midiFile.empty()) {
        loaded.music = audio.LoadMidi(options.midiFile.c_str());
        if (!loaded.music) {
            std::fprintf(stderr, "quelvane-audio: cannot load \"%s\"\n", options.midiFile.c_str());
            return false;
        }
    }
    for (const auto& effect : options.effects) {
        auto& sound = loaded.sounds[effect.file];
        if (!sound) {
            sound = audio.LoadWav(effect.file.c_str(), kSoundFlags);
            if (!sound) {
                std::fprintf(stderr, "quelvane-audio: cannot load \"%s\"\n", effect.file.c_str());
                return false;
            }
        }
    }
    return true;
}

int render(const AudioToolOptions& options) {
    AudioSystem audio(AudioSystem::Options{AudioSystem::Output::Offline});
    audio.InitMusic(nullptr, 2, options.port.empty() ? nullptr : options.port.c_str());
    Loaded loaded;
    if (!load(audio, options, loaded)) {
        return 1;
    }
    audio.PlayMusic(loaded.music.get());
    const uint32_t rate = audio.SampleRate();
    const auto total = static_cast<std::size_t>(options.seconds * rate);
    std::vector<int16_t> out(2 * total);
    std::size_t done = 0;
    // Each effect starts at its exact frame: render up to it, trigger, go on.
    for (const auto& effect : options.effects) {
        const auto at = std::min(total, static_cast<std::size_t>(effect.seconds * rate));
        audio.Render(out.data() + 2 * done, static_cast<uint32_t>(at - done));
        done = at;
        playEffect(loaded.sounds[effect.file].get());
    }
    audio.Render(out.data() + 2 * done, static_cast<uint32_t>(total - done));
    if (!writeWav(options.renderFile, 2, rate, out)) {
        std::fprintf(stderr, "quelvane-audio: cannot write \"%s\"\n", options.renderFile.c_str());
        return 1;
    }
    return 0;
}

int play(const AudioToolOptions& options) {
    AudioSystem audio;
    audio.InitMusic(nullptr, 2, options.port.empty() ? nullptr : options.port.c_str());
    Loaded loaded;
    if (!load(audio, options, loaded)) {
        return 1;
    }
    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    auto at = [&](double seconds) {
        return start +
               std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
    };
    audio.PlayMusic(loaded.music.get());
    for (const auto& effect : options.effects) {
        if (effect.seconds > options.seconds) {
            break;
        }
        std::this_thread::sleep_until(at(effect.seconds));
        playEffect(loaded.sounds[effect.file].get());
    }
    std::this_thread::sleep_until(at(options.seconds));
    audio.StopMusic();
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::string error;
    const auto options =
        parseAudioToolOptions(std::vector<std::string>(argv + 1, argv + argc), error);
    if (!options) {
        std::fprintf(stderr, "quelvane-audio: %s\n%s", error.c_str(), kAudioToolUsage);
        return 2;
    }
    if (options->help) {
        std::fputs(kAudioToolUsage, stdout);
        return 0;
    }
    if (options->list) {
        AudioSystem audio(AudioSystem::Options{AudioSystem::Output::Offline});
        for (const std::string& name : audio.EnumPortNames()) {
            std::printf("%s\n", name.c_str());
        }
        return 0;
    }
    return options->renderFile.empty() ? play(*options) : render(*options);
}
