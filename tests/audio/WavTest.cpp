#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "audio/AudioSystem.h"
#include "audio/SoundBuffer.h"
#include "audio/WavReader.h"
#include "audio/WavWriter.h"
#include "platform/ByteOrder.h"
#include "support/AudioFiles.h"
#include "support/TempDir.h"

using namespace audiofiles;

namespace {

class Wav : public ::testing::Test {
  protected:
    std::unique_ptr<SoundBuffer> load(const Bytes& file) {
        const auto path = dir.write("sound.wav", file);
        return audio.LoadWav(path.c_str(), 2);
    }
    // Plays the buffer alone and returns what the mixer made of it.
    std::vector<int16_t> play(SoundBuffer& buffer, uint32_t frames) {
        std::vector<int16_t> out(std::size_t{2} * frames);
        playEffect(&buffer);
        audio.Render(out.data(), frames);
        return out;
    }

    TempDir dir;
    AudioSystem audio{AudioSystem::Options{AudioSystem::Output::Offline}};
};

std::optional<WavSound> parse(const Bytes& file) {
    std::istringstream in(std::string(file.begin(), file.end()));
    return readWav(in);
}

const std::vector<int16_t> kRamp = {1000, -1000, 2000, -2000, 3000, -3000, 4000, -4000};

void expectNear(const std::vector<int16_t>& out, const std::vector<int16_t>& want) {
    ASSERT_GE(out.size(), want.size());
    for (std::size_t i = 0; i < want.size(); ++i) {
        EXPECT_NEAR(out[i], want[i], 2) << "sample " << i;
    }
}

TEST_F(Wav, ChunksAroundTheDataAreSkipped) {
    const Bytes list = {'I', 'N', 'F', 'O', 'I', 'S', 'F', 'T', 3, 0, 0, 0, 'a', 'b', 'c'};
    for (const auto& chunks : std::vector<std::vector<Chunk>>{
             {{"fmt ", fmtBody(1, 2, 48000, 16)}, {"LIST", list}, {"data", pcm16(kRamp)}},
             {{"LIST", list}, {"fmt ", fmtBody(1, 2, 48000, 16)}, {"data", pcm16(kRamp)}},
             // An odd chunk with its pad byte, and data followed by more chunks never read.
             {{"fmt ", fmtBody(1, 2, 48000, 16)},
              {"junk", {1, 2, 3}},
              {"data", pcm16(kRamp)},
              {"LIST", Bytes(5000, 7)}},
         }) {
        auto buffer = load(riff(chunks));
        ASSERT_NE(buffer, nullptr);
        EXPECT_EQ(buffer->GetFrames(), 4u);
        expectNear(play(*buffer, 4), kRamp);
    }
}

TEST_F(Wav, HeaderIsNotExamined) {
    auto buffer = load(riff({{"fmt ", fmtBody(1, 2, 48000, 16)}, {"data", pcm16(kRamp)}}, "JUNK"));
    ASSERT_NE(buffer, nullptr);
    expectNear(play(*buffer, 4), kRamp);
}

// Each file that gives no sound says why, in words a modder can act on.
TEST_F(Wav, FilesThatGiveNoSound) {
    const Chunk fmt{"fmt ", fmtBody(1, 2, 48000, 16)};
    const Chunk data{"data", pcm16(kRamp)};
    Bytes truncated = riff({fmt, data});
    truncated.resize(truncated.size() - 3);
    Bytes hugeChunk = riff({fmt});
    hugeChunk.insert(hugeChunk.end(), {'d', 'a', 't', 'a', 0xF0, 0xFF, 0xFF, 0x7F, 1, 2, 3, 4});
    struct Case {
        const char* what;
        Bytes file;
        const char* reason;
    };
    const std::vector<Case> cases = {
        {"data before fmt", riff({data, fmt}), "data chunk before any 'fmt ' chunk"},
        {"no data chunk", riff({fmt, {"LIST", {1, 2}}}), "no data chunk"},
        {"ids are case-sensitive", riff({fmt, {"DATA", pcm16(kRamp)}}), "no data chunk"},
        {"data cut short", truncated, "truncated: the 'data' chunk claims 16 bytes, 13 remain"},
        {"chunk larger than the file", hugeChunk,
         "truncated: the 'data' chunk claims 2147483632 bytes, 4 remain"},
        {"header only", Bytes{'R', 'I', 'F', 'F', 4, 0, 0, 0, 'W', 'A', 'V', 'E'}, "no data chunk"},
        {"short header", Bytes{'R', 'I', 'F', 'F', 4},
         "not a WAV file (shorter than a RIFF header)"},
        {"empty file", Bytes{}, "not a WAV file (shorter than a RIFF header)"},
        // A file that fails without a RIFF WAVE header is no WAV, whatever else is wrong.
        {"no RIFF WAVE header", riff({fmt}, "JUNK"), "not a WAV file (no RIFF WAVE header)"},
        {"ADPCM", riff({{"fmt ", fmtBody(2, 2, 48000, 4)}, data}),
         "unsupported sample format 2 (PCM and float taken)"},
        {"12-bit samples", riff({{"fmt ", fmtBody(1, 2, 48000, 12)}, data}),
         "12-bit samples (8, 16, 24 or 32 taken)"},
        {"no channels", riff({{"fmt ", fmtBody(1, 0, 48000, 16)}, data}),
         "0 channels (1 to 8 taken)"},
        {"nine channels",
         riff({{"fmt ", fmtBody(1, 9, 48000, 16)}, {"data", Bytes(std::size_t{18} * 4)}}),
         "9 channels (1 to 8 taken)"},
        {"1 Hz", riff({{"fmt ", fmtBody(1, 2, 1, 16)}, data}),
         "a rate of 1 Hz (4000 to 192000 taken)"},
        {"64-bit float", riff({{"fmt ", fmtBody(3, 1, 48000, 64)}, {"data", Bytes(64)}}),
         "64-bit float samples (32-bit taken)"},
        {"less than a frame", riff({fmt, {"data", {1, 2, 3}}}), "no whole sample frame"},
        {"two frames at 192 kHz", riff({{"fmt ", fmtBody(1, 2, 192000, 16)}, {"data", Bytes(8)}}),
         "too short to give a frame at 48000 Hz"},
    };
    for (const Case& c : cases) {
        std::string why;
        EXPECT_EQ(audio.LoadWav(dir.write("sound.wav", c.file).c_str(), 2, &why), nullptr)
            << c.what;
        EXPECT_EQ(why, c.reason) << c.what;
    }
    std::string why;
    EXPECT_EQ(audio.LoadWav((dir / "missing.wav").c_str(), 2, &why), nullptr);
    EXPECT_EQ(why, "no such file");
    EXPECT_EQ(audio.LoadWav(dir.path().c_str(), 2, &why), nullptr);
    EXPECT_EQ(why, "not a regular file");
    // A sound that loads leaves the reason as it was.
    why = "kept";
    EXPECT_NE(audio.LoadWav(dir.write("fine.wav", riff({fmt, data})).c_str(), 2, &why), nullptr);
    EXPECT_EQ(why, "kept");
}

TEST_F(Wav, FormatRecordTakesEighteenBytes) {
    auto sound = parse(riff({{"fmt ", fmtBody(1, 2, 44100, 16)}, {"data", {0, 0, 0, 0}}}));
    ASSERT_TRUE(sound);
    EXPECT_EQ(sound->format.extraSize, 0);
    EXPECT_EQ(sound->format.samplesPerSec, 44100u);
    EXPECT_EQ(sound->format.blockAlign, 4);

    sound = parse(riff({{"fmt ", extensibleBody(3, 1, 48000, 32)}, {"data", Bytes(8)}}));
    ASSERT_TRUE(sound);
    EXPECT_EQ(sound->format.formatTag, 0xFFFE);
    EXPECT_EQ(sound->format.extraSize, 22);
    EXPECT_EQ(sound->sampleFormat, kWaveFormatFloat);
}

// The same waveform in every sample format the reader takes comes out the same.
TEST_F(Wav, EverySampleFormatDecodesAlike) {
    const std::vector<double> wave = {0.5, -0.5, 0.25, -0.25, 0.125, 0.75};
    const std::vector<int16_t> expected = {16384, -16384, 8192, -8192, 4096, 24576};
    auto encode = [&](int bits, bool isFloat) {
        Bytes b;
        for (double v : wave) {
            if (isFloat) {
                float f = static_cast<float>(v);
                uint32_t u;
                std::memcpy(&u, &f, 4);
                le32(b, u);
            } else if (bits == 8) {
                b.push_back(static_cast<uint8_t>(128 + v * 128));
            } else {
                const auto s = static_cast<int64_t>(std::ldexp(v, bits - 1));
                byteorder::appendLe(b, static_cast<uint32_t>(s), bits / 8);
            }
        }
        return b;
    };
    struct Form {
        const char* name;
        Bytes fmt;
        Bytes data;
    } forms[] = {
        {"8-bit", fmtBody(1, 2, 48000, 8), encode(8, false)},
        {"16-bit", fmtBody(1, 2, 48000, 16), encode(16, false)},
        {"24-bit", fmtBody(1, 2, 48000, 24), encode(24, false)},
        {"32-bit", fmtBody(1, 2, 48000, 32), encode(32, false)},
        {"float", fmtBody(3, 2, 48000, 32), encode(32, true)},
        {"extensible 24-bit", extensibleBody(1, 2, 48000, 24), encode(24, false)},
        {"extensible float", extensibleBody(3, 2, 48000, 32), encode(32, true)},
    };
    for (const Form& f : forms) {
        SCOPED_TRACE(f.name);
        auto buffer = load(riff({{"fmt ", f.fmt}, {"data", f.data}}));
        ASSERT_NE(buffer, nullptr);
        const auto out = play(*buffer, 3);
        for (std::size_t i = 0; i < expected.size(); ++i) {
            // 8 bits carry less detail.
            EXPECT_NEAR(out[i], expected[i], f.fmt[14] == 8 ? 300 : 2) << i;
        }
    }
}

TEST_F(Wav, MonoAndOtherRatesAreConverted) {
    std::vector<int16_t> mono(22050);
    for (std::size_t i = 0; i < mono.size(); ++i) {
        mono[i] = static_cast<int16_t>(8000 * std::sin(2 * M_PI * 441 * i / 22050.0));
    }
    auto buffer = load(riff({{"fmt ", fmtBody(1, 1, 22050, 16)}, {"data", pcm16(mono)}}));
    ASSERT_NE(buffer, nullptr);
    EXPECT_NEAR(static_cast<double>(buffer->GetFrames()), 48000.0, 48.0);
    const auto out = play(*buffer, 48000);
    double peak = 0;
    for (std::size_t i = 1000; i < 47000; ++i) {
        EXPECT_EQ(out[2 * i], out[2 * i + 1]);
        peak = std::max(peak, std::abs(static_cast<double>(out[2 * i])));
    }
    EXPECT_NEAR(peak, 8000, 200);
}

// What the tools write, the game reads back unchanged.
TEST(WavWriter, WritesWhatTheReaderReadsAndReportsAFullDisk) {
    TempDir dir;
    const std::vector<int16_t> samples = {0, 1, -1, 32767, -32768, 258, -259, 7};
    for (uint16_t channels : {1, 2}) {
        SCOPED_TRACE(channels);
        const auto file = dir / "out.wav";
        ASSERT_TRUE(writeWav(file.string(), channels, 22050, samples));
        std::ifstream in(file, std::ios::binary);
        const std::optional<WavSound> sound = readWav(in);
        ASSERT_TRUE(sound);
        EXPECT_EQ(sound->sampleFormat, kWaveFormatPcm);
        EXPECT_EQ(sound->format.channels, channels);
        EXPECT_EQ(sound->format.samplesPerSec, 22050u);
        EXPECT_EQ(sound->format.avgBytesPerSec, 22050u * 2 * channels);
        EXPECT_EQ(sound->format.blockAlign, 2 * channels);
        EXPECT_EQ(sound->format.bitsPerSample, 16);
        EXPECT_EQ(sound->data, pcm16(samples));
        EXPECT_EQ(std::filesystem::file_size(file), 44 + 2 * samples.size());
    }
    if (std::filesystem::exists("/dev/full")) {
        EXPECT_FALSE(writeWav("/dev/full", 1, 22050, samples));
    }
    EXPECT_FALSE(writeWav((dir / "missing" / "out.wav").string(), 1, 22050, samples));
}

}  // namespace
