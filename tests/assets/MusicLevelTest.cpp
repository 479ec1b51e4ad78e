// The generated music as the game plays it, rendered offline on the desktop's synthesizer with the
// SoundFont Debian's timgm6mb-soundfont installs (named by its own file: the default link may
// point at another): each piece over a whole loop near -18 dBFS RMS, the loudness of the sound
// effects, with its peaks under -1 dBFS; and the effects over the music never reach full scale.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "audio/AudioSystem.h"
#include "audio/MidiReader.h"

namespace {

constexpr const char* kSoundFont = "/usr/share/sounds/sf2/TimGM6mb.sf2";
constexpr double kTargetDb = -18.0;
constexpr double kToleranceDb = 3.0;
constexpr double kPeakCeilingDb = -1.0;
constexpr const char* kEffects[] = {"ashot.wav",       "bullet.wav", "explosion.wav", "laser.wav",
                                    "r_explosion.wav", "rocket.wav", "upg.wav"};

std::string runFile(const std::string& name) {
    return std::string(QUELVANE_RUN_DIR) + "/" + name;
}

double loopSeconds(const std::string& piece) {
    std::ifstream in(runFile(piece), std::ios::binary);
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                     std::istreambuf_iterator<char>());
    const auto parsed = readMidi(bytes.data(), bytes.size());
    return parsed ? static_cast<double>(parsed->lengthMicros) / 1e6 : 0.0;
}

struct Level {
    double rmsDb = 0;
    double peakDb = 0;
};

Level levelOf(const std::vector<int16_t>& samples) {
    double sum = 0;
    int peak = 0;
    for (const int16_t s : samples) {
        sum += static_cast<double>(s) * s;
        peak = std::max(peak, std::abs(static_cast<int>(s)));
    }
    const double rms = std::sqrt(sum / static_cast<double>(samples.size())) / 32768.0;
    return {20 * std::log10(rms), 20 * std::log10(peak / 32768.0)};
}

// One whole loop of a piece; with effectEvery > 0, every effect in turn is started that often
// over it.
std::vector<int16_t> renderLoop(const std::string& piece, double effectEvery) {
    AudioSystem audio(AudioSystem::Options{AudioSystem::Output::Offline, {kSoundFont}});
    audio.InitMusic(nullptr, 2, nullptr);
    const std::unique_ptr<MusicSegment> music = audio.LoadMidi(runFile(piece).c_str());
    std::vector<std::unique_ptr<SoundBuffer>> effects;
    for (const char* effect : kEffects)
        effects.push_back(audio.LoadWav(runFile(effect).c_str(), 2));
    if (!music || std::find(effects.begin(), effects.end(), nullptr) != effects.end()) {
        ADD_FAILURE() << "cannot load " << piece << " or an effect";
        return {};
    }
    audio.PlayMusic(music.get());
    const uint32_t rate = audio.SampleRate();
    const auto total = static_cast<std::size_t>(loopSeconds(piece) * rate);
    const std::size_t step = effectEvery > 0 ? static_cast<std::size_t>(effectEvery * rate)
                                             : std::max<std::size_t>(total, 1);
    std::vector<int16_t> out(2 * total);
    for (std::size_t done = 0, n = 0; done < total; done += step, ++n) {
        if (effectEvery > 0)
            playEffect(effects[n % effects.size()].get());
        audio.Render(out.data() + 2 * done, static_cast<uint32_t>(std::min(step, total - done)));
    }
    return out;
}

TEST(MusicLevel, EachPieceSitsAtTheEffectsLoudnessAndAnEffectOverItNeverClips) {
    for (const char* piece : {"title.mid", "background.mid"}) {
        SCOPED_TRACE(piece);
        const Level alone = levelOf(renderLoop(piece, 0));
        EXPECT_NEAR(alone.rmsDb, kTargetDb, kToleranceDb);
        EXPECT_LT(alone.peakDb, kPeakCeilingDb);
        // An effect a quarter of a second, the loudest ones among them, all through the loop.
        const Level mixed = levelOf(renderLoop(piece, 0.25));
        EXPECT_LT(mixed.peakDb, kPeakCeilingDb + 0.01);
        EXPECT_GT(mixed.rmsDb, alone.rmsDb) << "the effects were heard";
    }
}

}  // namespace
