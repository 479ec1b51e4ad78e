// The generated music, read by the game's own MIDI reader: what the game will play.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "audio/MidiReader.h"
#include "platform/ByteOrder.h"

namespace {

struct Channel {
    int64_t firstProgram = -1;  // when its first program change comes
    int64_t firstNote = -1;
    std::set<int> velocities;
    std::map<int, int> sounding;  // key -> notes on and not yet off
    int64_t lastNoteOff = 0;
};

std::map<int, Channel> channelsOf(const MidiPiece& piece) {
    std::map<int, Channel> channels;
    for (const MidiEvent& e : piece.events) {
        const uint8_t* m = piece.bytes.data() + e.offset;
        const int kind = m[0] & 0xF0;
        Channel& c = channels[m[0] & 0x0F];
        if (kind == 0xC0 && c.firstProgram < 0) {
            c.firstProgram = e.micros;
        } else if (kind == 0x90 && m[2] > 0) {
            if (c.firstNote < 0) {
                c.firstNote = e.micros;
            }
            c.velocities.insert(m[2]);
            ++c.sounding[m[1]];
        } else if (kind == 0x80 || kind == 0x90) {
            --c.sounding[m[1]];
            c.lastNoteOff = std::max(c.lastNoteOff, e.micros);
        }
    }
    return channels;
}

void checkSong(const char* file, int beatsPerMinute, double minSeconds, double maxSeconds) {
    SCOPED_TRACE(file);
    std::ifstream in(std::string(QUELVANE_RUN_DIR) + "/" + file, std::ios::binary);
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                     std::istreambuf_iterator<char>());
    ASSERT_GE(bytes.size(), 14u);
    EXPECT_EQ(byteorder::readBe16(&bytes[8]), 1) << "format 1";
    EXPECT_GE(byteorder::readBe16(&bytes[10]), 5) << "tracks";
    const std::shared_ptr<const MidiPiece> piece = readMidi(bytes.data(), bytes.size());
    ASSERT_NE(piece, nullptr);

    // The loop seam falls on a bar line of 4/4, so the beat goes on across it.
    const int64_t bar = 4 * int64_t{60'000'000 / beatsPerMinute};
    EXPECT_EQ(piece->lengthMicros % bar, 0);
    const double seconds = static_cast<double>(piece->lengthMicros) / 1e6;
    EXPECT_GE(seconds, minSeconds);
    EXPECT_LE(seconds, maxSeconds);

    std::set<int> playing;
    for (const auto& [number, channel] : channelsOf(*piece)) {
        if (channel.firstNote < 0) {
            continue;
        }
        SCOPED_TRACE("channel " + std::to_string(number + 1));
        playing.insert(number);
        // Each part picks its instrument before anything sounds, so a loop never plays a note
        // on whatever the last piece left set.
        EXPECT_EQ(channel.firstProgram, 0);
        // Every note is released by the seam, so none hangs into the next round.
        for (const auto& [key, on] : channel.sounding) {
            EXPECT_EQ(on, 0) << "key " << key;
        }
        EXPECT_LE(channel.lastNoteOff, piece->lengthMicros);
        // Velocities breathe rather than sit on one value.
        EXPECT_GE(channel.velocities.size(), 6u);
    }
    EXPECT_TRUE(playing.count(9)) << "drums on channel 10";
    EXPECT_GE(playing.size(), 4u) << "drums, bass, chords and a lead";
}

TEST(MusicAssets, TitleThemeIsACalmLoopOfHalfAMinute) {
    checkSong("title.mid", 80, 30.0, 60.0);
}

TEST(MusicAssets, BackgroundMusicIsALongerLoop) {
    checkSong("background.mid", 140, 60.0, 120.0);
}

}  // namespace
