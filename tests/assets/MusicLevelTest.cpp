// The generated music as the game plays it, rendered offline on the desktop's synthesizer with
// every General MIDI SoundFont of Debian's that the game can be given through its default links,
// each named by its own file (the links point at whichever is installed with the highest
// priority): each piece over a whole loop near -18 dBFS RMS, the loudness of the sound effects,
// with its peaks under -1 dBFS; and the effects over the music never reach full scale.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "audio/AudioSystem.h"
#include "audio/MidiReader.h"

namespace {

struct SoundFont {
    const char* file;
    const char* package;  // the Debian package that installs it
};
// Each one that is installed is measured. The first is always installed (scripts/packages.txt);
// the page's synthesizer plays only that one, having no SF3 support.
constexpr SoundFont kSoundFonts[] = {
    {"/usr/share/sounds/sf2/TimGM6mb.sf2", "timgm6mb-soundfont"},
    {"/usr/share/sounds/sf3/FluidR3Mono_GM.sf3", "fluidr3mono-gm-soundfont"},
    {"/usr/share/sounds/sf3/MuseScore_General_Lite.sf3", "musescore-general-soundfont-small"},
    {"/usr/share/sounds/sf3/MuseScore_General_Full.sf3", "musescore-general-soundfont"},
    {"/usr/share/sounds/sf2/MuseScore_General_Full.sf2", "musescore-general-soundfont-lossless"},
    {"/usr/share/sounds/sf2/FluidR3_GM.sf2", "fluid-soundfont-gm"},
};
constexpr const char* kPieces[] = {"title.mid", "background.mid"};
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
// over it. Playing a piece silences the synthesizer first, so nothing of the loop before is heard.
std::vector<int16_t> renderLoop(AudioSystem& audio,
                                const std::vector<std::unique_ptr<SoundBuffer>>& effects,
                                const std::string& piece, double effectEvery) {
    const std::unique_ptr<MusicSegment> music = audio.LoadMidi(runFile(piece).c_str());
    if (!music) {
        ADD_FAILURE() << "cannot load " << piece;
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

// Both pieces alone, then both again under the effects, on one synthesizer: loading a large SF3
// takes far longer than rendering with it.
void checkLevels(const SoundFont& font) {
    AudioSystem audio(AudioSystem::Options{AudioSystem::Output::Offline, {font.file}});
    ASSERT_TRUE(audio.InitMusic(nullptr, 2, nullptr)) << "installed, yet it does not load";
    std::vector<std::unique_ptr<SoundBuffer>> effects;
    for (const char* effect : kEffects) {
        effects.push_back(audio.LoadWav(runFile(effect).c_str(), 2));
        ASSERT_NE(effects.back(), nullptr) << effect;
    }
    std::vector<Level> alone;
    for (const char* piece : kPieces) {
        alone.push_back(levelOf(renderLoop(audio, effects, piece, 0)));
        std::printf("%s, %s: RMS %.1f dBFS, peak %.1f dBFS\n", font.file, piece, alone.back().rmsDb,
                    alone.back().peakDb);
        EXPECT_NEAR(alone.back().rmsDb, kTargetDb, kToleranceDb) << piece;
        EXPECT_LT(alone.back().peakDb, kPeakCeilingDb) << piece;
    }
    for (std::size_t i = 0; i < std::size(kPieces); ++i) {
        // An effect a quarter of a second, the loudest ones among them, all through the loop.
        const Level mixed = levelOf(renderLoop(audio, effects, kPieces[i], 0.25));
        EXPECT_LT(mixed.peakDb, kPeakCeilingDb + 0.01) << kPieces[i];
        EXPECT_GT(mixed.rmsDb, alone[i].rmsDb) << kPieces[i] << ": the effects were heard";
    }
}

TEST(MusicLevel, EachPieceSitsAtTheEffectsLoudnessOnEveryInstalledSoundFont) {
    ASSERT_TRUE(std::filesystem::exists(kSoundFonts[0].file)) << kSoundFonts[0].package;
    for (const SoundFont& font : kSoundFonts) {
        SCOPED_TRACE(font.file);
        if (std::filesystem::exists(font.file)) {
            checkLevels(font);
        } else {
            std::printf("%s: not installed (%s)\n", font.file, font.package);
        }
    }
}

}  // namespace
