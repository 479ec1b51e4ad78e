#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "audio/AudioSystem.h"
#include "audio/MidiReader.h"
#include "audio/MusicSegment.h"
#include "support/AudioFiles.h"
#include "support/TempDir.h"

using namespace audiofiles;

namespace {

// Loudness of each 10 ms window of the left channel, as peak magnitude.
std::vector<int> peaks(const std::vector<int16_t>& stereo, uint32_t rate) {
    const std::size_t window = rate / 100;
    std::vector<int> out;
    for (std::size_t start = 0; start + window <= stereo.size() / 2; start += window) {
        int peak = 0;
        for (std::size_t i = start; i < start + window; ++i) {
            peak = std::max(peak, std::abs(static_cast<int>(stereo[2 * i])));
        }
        out.push_back(peak);
    }
    return out;
}

// The fundamental of the left channel, found by autocorrelation between 300 and 600 Hz.
double pitchOf(const std::vector<int16_t>& stereo, uint32_t rate) {
    const std::size_t frames = stereo.size() / 2;
    auto correlation = [&](std::size_t lag) {
        double sum = 0;
        for (std::size_t i = 0; i + lag < frames; ++i) {
            sum += double(stereo[2 * i]) * stereo[2 * (i + lag)];
        }
        return sum / double(frames - lag);
    };
    std::size_t best = 0;
    double highest = 0;
    for (std::size_t lag = rate / 600; lag <= rate / 300; ++lag) {
        if (const double c = correlation(lag); best == 0 || c > highest) {
            best = lag;
            highest = c;
        }
    }
    // A parabola through the peak and its neighbours finds the period between whole frames.
    const double a = correlation(best - 1), b = correlation(best), c = correlation(best + 1);
    return rate / (double(best) + 0.5 * (a - c) / (a - 2 * b + c));
}

constexpr int kAudible = 300;
constexpr int kSilent = 2;

class Music : public ::testing::Test {
  protected:
    std::vector<int16_t> render(double seconds) {
        const auto frames = static_cast<uint32_t>(seconds * audio.SampleRate());
        std::vector<int16_t> out(std::size_t{2} * frames);
        audio.Render(out.data(), frames);
        return out;
    }
    std::unique_ptr<MusicSegment> load(const std::string& name, const Bytes& file) {
        return audio.LoadMidi(dir.write(name, file).c_str());
    }

    TempDir dir;
    AudioSystem audio{AudioSystem::Options{AudioSystem::Output::Offline}};
};

// An organ chord held for the whole second of the piece: the note-offs sit exactly at its end.
const Bytes kChord = smf(0, 96,
                         {track({{0, {0xC0, 19}},
                                 {0, {0x90, 60, 110}},
                                 {0, {0x90, 64, 110}},
                                 {192, {0x80, 60, 0}},
                                 {0, {0x80, 64, 0}}})});

TEST_F(Music, PlaysAtOnceLoopsWithoutAGapAndStopsAtOnce) {
    ASSERT_TRUE(audio.InitMusic(nullptr, 2, nullptr));
    EXPECT_EQ(audio.GetState(), AudioSystem::State::MusicReady);
    auto chord = load("chord.mid", kChord);
    ASSERT_NE(chord, nullptr);
    EXPECT_EQ(peaks(render(0.1), audio.SampleRate()), std::vector<int>(10, 0));

    audio.PlayMusic(chord.get());
    const auto loud = peaks(render(3.0), audio.SampleRate());
    // Within 100 ms, and then on across both loop points at 1 s and 2 s.
    for (std::size_t w = 10; w < loud.size(); ++w) {
        EXPECT_GT(loud[w], kAudible) << "window " << w;
    }
    audio.StopMusic();
    const auto after = peaks(render(0.5), audio.SampleRate());
    for (std::size_t w = 5; w < after.size(); ++w) {
        EXPECT_LE(after[w], kSilent) << "window " << w;
    }
}

TEST_F(Music, PlayReplacesThePieceAtOnce) {
    ASSERT_TRUE(audio.InitMusic(nullptr, 2, nullptr));
    auto chord = load("chord.mid", kChord);
    // Silent for its first half second.
    auto late = load("late.mid", smf(0, 96, {track({{96, {0x90, 72, 110}}, {96, {0x80, 72, 0}}})}));
    ASSERT_TRUE(chord && late);
    audio.PlayMusic(chord.get());
    render(0.5);
    audio.PlayMusic(late.get());
    const auto p = peaks(render(1.0), audio.SampleRate());
    // The chord is cut, not left hanging; the new piece starts from its own beginning.
    for (std::size_t w = 5; w < 48; ++w) {
        EXPECT_LE(p[w], kSilent) << "window " << w;
    }
    EXPECT_GT(*std::max_element(p.begin() + 52, p.end()), kAudible);
}

TEST_F(Music, RepeatsCanBeLimited) {
    ASSERT_TRUE(audio.InitMusic(nullptr, 2, nullptr));
    auto chord = load("chord.mid", kChord);
    ASSERT_NE(chord, nullptr);
    chord->SetRepeats(0);
    audio.PlayMusic(chord.get());
    const auto p = peaks(render(3.0), audio.SampleRate());
    EXPECT_GT(p[50], kAudible);
    EXPECT_LE(p.back(), kSilent);
}

TEST_F(Music, EffectsMixWithTheMusic) {
    ASSERT_TRUE(audio.InitMusic(nullptr, 2, nullptr));
    auto chord = load("chord.mid", kChord);
    auto click = audio.LoadWav(
        dir.write("click.wav", stereoWav(std::vector<int16_t>(960, 12000))).c_str(), 2);
    ASSERT_TRUE(chord && click);
    audio.PlayMusic(chord.get());
    const auto musicOnly = render(0.5);

    AudioSystem twin{AudioSystem::Options{AudioSystem::Output::Offline}};
    ASSERT_TRUE(twin.InitMusic(nullptr, 2, nullptr));
    auto chord2 = twin.LoadMidi((dir / "chord.mid").c_str());
    auto click2 = twin.LoadWav((dir / "click.wav").c_str(), 2);
    twin.PlayMusic(chord2.get());
    playEffect(click2.get());
    std::vector<int16_t> mixed(musicOnly.size());
    twin.Render(mixed.data(), static_cast<uint32_t>(mixed.size() / 2));
    // Offline rendering is exact: the difference is the click and nothing else.
    for (std::size_t i = 0; i < 960; ++i) {
        EXPECT_NEAR(mixed[i] - musicOnly[i], 12000, 2) << i;
    }
    EXPECT_EQ(std::vector<int16_t>(mixed.begin() + 960, mixed.end()),
              std::vector<int16_t>(musicOnly.begin() + 960, musicOnly.end()));
}

TEST_F(Music, InitRunsOnceAndUnknownPortsFallBackToTheSynthesizer) {
    EXPECT_TRUE(audio.InitMusic(nullptr, 2, "software synthesizer"));
    EXPECT_EQ(audio.GetState(), AudioSystem::State::MusicReady);
    EXPECT_FALSE(audio.InitMusic(nullptr, 2, nullptr));
    EXPECT_EQ(audio.GetState(), AudioSystem::State::MusicReady);
    auto chord = load("chord.mid", kChord);
    audio.PlayMusic(chord.get());
    EXPECT_GT(peaks(render(0.3), audio.SampleRate())[20], kAudible);
}

TEST_F(Music, WithoutASoundFontEverythingRunsSilently) {
    AudioSystem::Options options{AudioSystem::Output::Offline,
                                 {dir / "none.sf2", dir / "chord.mid"}};
    AudioSystem silent(options);
    load("chord.mid", kChord);
    EXPECT_FALSE(silent.InitMusic(nullptr, 2, nullptr));
    EXPECT_EQ(silent.GetState(), AudioSystem::State::Failed);
    EXPECT_FALSE(silent.InitMusic(nullptr, 2, nullptr));
    auto chord = silent.LoadMidi((dir / "chord.mid").c_str());
    ASSERT_NE(chord, nullptr);
    silent.PlayMusic(chord.get());
    silent.PlayMusic(nullptr);
    std::vector<int16_t> out(9600);
    silent.Render(out.data(), 4800);
    EXPECT_EQ(out, std::vector<int16_t>(9600, 0));
    silent.StopMusic();
    EXPECT_EQ(silent.EnumPortNames().front(), "Software Synthesizer");
}

TEST_F(Music, SegmentMayGoWhilePlaying) {
    ASSERT_TRUE(audio.InitMusic(nullptr, 2, nullptr));
    auto chord = load("chord.mid", kChord);
    audio.PlayMusic(chord.get());
    chord.reset();
    EXPECT_GT(peaks(render(1.5), audio.SampleRate())[120], kAudible);
    EXPECT_EQ(audio.LoadMidi((dir / "missing.mid").c_str()), nullptr);
    EXPECT_EQ(audio.LoadMidi(nullptr), nullptr);
    EXPECT_EQ(audio.LoadMidi(dir.path().c_str()), nullptr);
}

TEST_F(Music, FilesThatCannotBeLoadedSayWhy) {
    std::string why;
    EXPECT_EQ(audio.LoadMidi((dir / "missing.mid").c_str(), &why), nullptr);
    EXPECT_EQ(why, "no such file");
    EXPECT_EQ(audio.LoadMidi(dir.path().c_str(), &why), nullptr);
    EXPECT_EQ(why, "not a regular file");
    EXPECT_EQ(audio.LoadMidi(dir.write("text.mid", "not music").c_str(), &why), nullptr);
    EXPECT_EQ(why, "not a Standard MIDI File, or a damaged one");
    // Sparse: past the bound without taking the disk.
    const auto vast = dir.write("vast.mid", "MThd");
    std::filesystem::resize_file(vast, kMaxMidiFileBytes + 1);
    EXPECT_EQ(audio.LoadMidi(vast.c_str(), &why), nullptr);
    EXPECT_EQ(why, "too large (more than 16777216 bytes)");
}

// A bend's 14 bits come least significant first; the middle, 0x2000, leaves the pitch alone, and
// the whole range spans two semitones each way.
TEST_F(Music, PitchBendMovesTheSynthesizersPitch) {
    ASSERT_TRUE(audio.InitMusic(nullptr, 2, nullptr));
    auto organA4 = [&](const Bytes& bend) {
        auto piece = load(
            "bend.mid",
            smf(0, 96,
                {track({{0, {0xC0, 19}}, {0, bend}, {0, {0x90, 69, 110}}, {192, {0x80, 69, 0}}})}));
        EXPECT_NE(piece, nullptr);
        audio.PlayMusic(piece.get());
        const auto out = render(0.6);
        audio.StopMusic();
        render(0.1);
        // Past the attack.
        return pitchOf(std::vector<int16_t>(out.begin() + out.size() / 6, out.end()),
                       audio.SampleRate());
    };
    const double plain = organA4({0xE0, 0x00, 0x40});
    EXPECT_NEAR(plain, 440.0, 4.0);
    const std::pair<Bytes, double> bends[] = {
        {{0xE0, 0x00, 0x60}, 1.0},
        {{0xE0, 0x00, 0x20}, -1.0},
        {{0xE0, 0x00, 0x00}, -2.0},
        {{0xE0, 0x7F, 0x7F}, 2.0 * 8191 / 8192},
    };
    for (const auto& [bend, semitones] : bends) {
        EXPECT_NEAR(organA4(bend) / plain, std::pow(2.0, semitones / 12), 0.003)
            << int(bend[1]) << " " << int(bend[2]);
    }
}

}  // namespace
