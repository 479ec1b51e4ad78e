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

namespace {

struct Wave {
    int format = 0, channels = 0, rate = 0, bits = 0;
    std::vector<int16_t> samples;
};

uint32_t le32(const std::vector<uint8_t>& b, size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (uint32_t(b[at + 3]) << 24);
}

// Walks the chunks after the 12-byte header up to "data"; a format must come first.
std::optional<Wave> readWave(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<uint8_t> b((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (b.size() < 12 || std::string(b.begin(), b.begin() + 4) != "RIFF" ||
        std::string(b.begin() + 8, b.begin() + 12) != "WAVE") {
        return std::nullopt;
    }
    Wave w;
    bool haveFormat = false;
    for (size_t at = 12; at + 8 <= b.size();) {
        std::string id(b.begin() + at, b.begin() + at + 4);
        size_t size = le32(b, at + 4);
        if (at + 8 + size > b.size()) {
            return std::nullopt;
        }
        if (id == "fmt " && size >= 16) {
            w.format = b[at + 8] | (b[at + 9] << 8);
            w.channels = b[at + 10] | (b[at + 11] << 8);
            w.rate = static_cast<int>(le32(b, at + 12));
            w.bits = b[at + 22] | (b[at + 23] << 8);
            haveFormat = true;
        } else if (id == "data") {
            if (!haveFormat) {
                return std::nullopt;
            }
            for (size_t i = 0; i + 1 < size; i += 2) {
                w.samples.push_back(static_cast<int16_t>(b[at + 8 + i] | (b[at + 9 + i] << 8)));
            }
            return w;
        }
        at += 8 + size;
    }
    return std::nullopt;
}

TEST(SoundAssets, EverySoundIsShortCleanAndLevelled) {
    for (const char* file : {"ashot.wav", "bullet.wav", "laser.wav", "rocket.wav",
                             "r_explosion.wav", "explosion.wav", "upg.wav"}) {
        std::optional<Wave> w = readWave(std::string(QUELVANE_RUN_DIR) + "/" + file);
        ASSERT_TRUE(w) << file;
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
