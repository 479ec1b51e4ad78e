// The generated sound effects, read as RIFF WAVE files.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "audio/AudioSystem.h"
#include "audio/SoundBuffer.h"
#include "audio/WavReader.h"
#include "platform/ByteOrder.h"

namespace {

struct Wave {
    int format = 0, channels = 0, rate = 0, bits = 0;
    std::vector<int16_t> samples;
};

// Read with the game's own WAV reader.
std::optional<Wave> readWave(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    const std::optional<WavSound> sound = readWav(in);
    if (!sound)
        return std::nullopt;
    Wave w{sound->sampleFormat,
           sound->format.channels,
           static_cast<int>(sound->format.samplesPerSec),
           sound->format.bitsPerSample,
           {}};
    for (size_t i = 0; i + 1 < sound->data.size(); i += 2) {
        w.samples.push_back(static_cast<int16_t>(byteorder::readLe16(&sound->data[i])));
    }
    return w;
}

TEST(SoundAssets, EverySoundIsShortCleanAndLevelled) {
    AudioSystem audio;
    for (const char* file : {"ashot.wav", "bullet.wav", "laser.wav", "rocket.wav",
                             "r_explosion.wav", "explosion.wav", "upg.wav"}) {
        std::optional<Wave> w = readWave(std::string(QUELVANE_RUN_DIR) + "/" + file);
        ASSERT_TRUE(w) << file;
        EXPECT_TRUE(audio.LoadWav((std::string(QUELVANE_RUN_DIR) + "/" + file).c_str(), 2)) << file;
        EXPECT_EQ(w->format, 1) << file;
        EXPECT_EQ(w->channels, 1) << file;
        EXPECT_EQ(w->bits, 16) << file;
        EXPECT_TRUE(w->rate == 22050 || w->rate == 44100) << file;
        ASSERT_FALSE(w->samples.empty()) << file;
        double seconds = double(w->samples.size()) / w->rate;
        EXPECT_LT(seconds, 2.0) << file;

        int peak = 0;
        for (int16_t s : w->samples) {
            peak = std::max(peak, std::abs(int(s)));
        }
        double dbfs = 20.0 * std::log10(peak / 32768.0);
        EXPECT_NEAR(dbfs, -3.0, 0.5) << file;

        // No click: the sound starts and ends at rest. No padding: sound is under way within
        // the first 5 ms and still audible in the last 20 ms.
        EXPECT_LE(std::abs(int(w->samples.front())), 64) << file;
        EXPECT_LE(std::abs(int(w->samples.back())), 64) << file;
        size_t five = w->rate / 200, twenty = w->rate / 50;
        int head = 0, tail = 0;
        for (size_t i = 0; i < five; ++i) {
            head = std::max(head, std::abs(int(w->samples[i])));
        }
        for (size_t i = w->samples.size() - twenty; i < w->samples.size(); ++i) {
            tail = std::max(tail, std::abs(int(w->samples[i])));
        }
        EXPECT_GT(head, 300) << file;
        EXPECT_GT(tail, 30) << file;
    }
    // The repeater may fire 16 times a second: its shot must be over well before the next.
    std::optional<Wave> bullet = readWave(std::string(QUELVANE_RUN_DIR) + "/bullet.wav");
    ASSERT_TRUE(bullet);
    EXPECT_LT(double(bullet->samples.size()) / bullet->rate, 0.0625);
    std::optional<Wave> explosion = readWave(std::string(QUELVANE_RUN_DIR) + "/explosion.wav");
    ASSERT_TRUE(explosion);
    EXPECT_LT(double(explosion->samples.size()) / explosion->rate, 1.0);
}

}  // namespace
