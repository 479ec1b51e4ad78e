// The generated music, parsed as Standard MIDI Files.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace {

struct Track {
    std::string name;
    std::map<int, uint32_t> firstProgram;  // channel -> tick of its first program change
    std::map<int, uint32_t> firstNote;     // channel -> tick of its first note
    std::set<int> velocities;
    int notes = 0;
    int hanging = 0;  // notes still on at the end of the track
    uint32_t lastNoteOff = 0;
    uint32_t end = 0;
    bool ended = false;
};

struct Song {
    int format = 0, division = 0;
    uint32_t tempo = 500000;
    std::vector<Track> tracks;
};

uint32_t be(const std::vector<uint8_t>& b, size_t at, int n) {
    uint32_t v = 0;
    for (int i = 0; i < n; ++i) {
        v = (v << 8) | b[at + i];
    }
    return v;
}

std::optional<Song> readSong(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<uint8_t> b((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (b.size() < 14 || std::string(b.begin(), b.begin() + 4) != "MThd") {
        return std::nullopt;
    }
    Song song;
    song.format = static_cast<int>(be(b, 8, 2));
    int count = static_cast<int>(be(b, 10, 2));
    song.division = static_cast<int>(be(b, 12, 2));
    size_t at = 14;
    for (int t = 0; t < count; ++t) {
        if (at + 8 > b.size() || std::string(b.begin() + at, b.begin() + at + 4) != "MTrk") {
            return std::nullopt;
        }
        size_t end = at + 8 + be(b, at + 4, 4);
        if (end > b.size()) {
            return std::nullopt;
        }
        at += 8;
        Track track;
        uint32_t tick = 0;
        uint8_t status = 0;
        std::map<int, int> sounding;
        auto varLen = [&]() {
            uint32_t v = 0;
            while (at < end) {
                uint8_t c = b[at++];
                v = (v << 7) | (c & 0x7F);
                if (!(c & 0x80)) {
                    break;
                }
            }
            return v;
        };
        while (at < end && !track.ended) {
            tick += varLen();
            if (b[at] & 0x80) {
                status = b[at++];
            }
            if (status == 0xFF) {
                uint8_t type = b[at++];
                uint32_t len = varLen();
                if (type == 0x2F) {
                    track.ended = true;
                    track.end = tick;
                } else if (type == 0x51 && len == 3) {
                    song.tempo = be(b, at, 3);
                } else if (type == 0x03) {
                    track.name.assign(b.begin() + at, b.begin() + at + len);
                }
                at += len;
                continue;
            }
            int channel = status & 0x0F;
            int kind = status & 0xF0;
            if (kind == 0xC0 || kind == 0xD0) {
                if (kind == 0xC0) {
                    track.firstProgram.emplace(channel, tick);
                }
                at += 1;
                continue;
            }
            uint8_t key = b[at], velocity = b[at + 1];
            at += 2;
            int id = channel * 128 + key;
            if (kind == 0x90 && velocity > 0) {
                track.firstNote.emplace(channel, tick);
                track.velocities.insert(velocity);
                ++track.notes;
                ++sounding[id];
            } else if (kind == 0x80 || kind == 0x90) {
                --sounding[id];
                track.lastNoteOff = std::max(track.lastNoteOff, tick);
            }
        }
        for (auto [id, n] : sounding) {
            track.hanging += n;
        }
        song.tracks.push_back(track);
        at = end;
    }
    return song;
}

void checkSong(const char* file, double minSeconds, double maxSeconds) {
    SCOPED_TRACE(file);
    std::optional<Song> song = readSong(std::string(QUELVANE_RUN_DIR) + "/" + file);
    ASSERT_TRUE(song);
    EXPECT_EQ(song->format, 1);
    ASSERT_GT(song->division, 0);
    ASSERT_GE(song->tracks.size(), 5u);

    const uint32_t bar = 4u * static_cast<uint32_t>(song->division);
    const uint32_t end = song->tracks[0].end;
    EXPECT_GT(end, 0u);
    EXPECT_EQ(end % bar, 0u) << "the piece must end on a bar line";
    double seconds = double(end) / song->division * song->tempo / 1e6;
    EXPECT_GE(seconds, minSeconds);
    EXPECT_LE(seconds, maxSeconds);

    std::set<int> channels;
    for (size_t t = 1; t < song->tracks.size(); ++t) {
        const Track& track = song->tracks[t];
        SCOPED_TRACE(track.name);
        EXPECT_TRUE(track.ended);
        // Every part ends together on the last bar line, with every note released by then.
        EXPECT_EQ(track.end, end);
        EXPECT_EQ(track.hanging, 0);
        EXPECT_LE(track.lastNoteOff, end);
        EXPECT_GT(track.notes, 0);
        for (auto [channel, tick] : track.firstNote) {
            ASSERT_TRUE(track.firstProgram.count(channel));
            EXPECT_EQ(track.firstProgram.at(channel), 0u);
            channels.insert(channel);
        }
        // Velocities breathe rather than sit on one value.
        EXPECT_GE(track.velocities.size(), 6u);
    }
    EXPECT_TRUE(channels.count(9)) << "drums on channel 10";
    EXPECT_GE(channels.size(), 4u) << "drums, bass, chords and a lead";
}

TEST(MusicAssets, TitleThemeIsACalmLoopOfHalfAMinute) {
    checkSong("title.mid", 30.0, 60.0);
}

TEST(MusicAssets, BackgroundMusicIsALongerLoop) {
    checkSong("background.mid", 60.0, 120.0);
}

}  // namespace
