#include <gtest/gtest.h>

#include "audio/MidiReader.h"
#include "audio/Sequencer.h"
#include "support/AudioFiles.h"

using namespace audiofiles;

namespace {

std::shared_ptr<const MidiPiece> parseMidi(const Bytes& file) {
    return readMidi(file.data(), file.size());
}

struct Timed {
    int64_t micros;
    Bytes message;
    bool operator==(const Timed&) const = default;
};

std::vector<Timed> eventsOf(const MidiPiece& piece) {
    std::vector<Timed> out;
    for (const MidiEvent& e : piece.events) {
        out.push_back({e.micros, Bytes(piece.bytes.begin() + e.offset,
                                       piece.bytes.begin() + e.offset + e.length)});
    }
    return out;
}

TEST(MidiReader, RunningStatusAndTempoChanges) {
    // 96 ticks a quarter; 120 beats a minute until tick 96, then twice as fast.
    const auto piece = parseMidi(smf(0, 96,
                                     {track({
                                         {0, {0xC0, 5}},
                                         {0, {0x90, 60, 100}},
                                         {0, {62, 90}},  // running status
                                         {96, tempo(250000)},
                                         {0, {0x80, 60, 0}},
                                         {96, {0xE1, 0x00, 0x40}},
                                         {0, {0xFF, 0x01, 0x03, 'a', 'b', 'c'}},  // text: dropped
                                         {0, {0xF0, 0x03, 0x7E, 0x09, 0xF7}},
                                     })}));
    ASSERT_NE(piece, nullptr);
    const std::vector<Timed> want = {
        {0, {0xC0, 5}},          {0, {0x90, 60, 100}},      {0, {0x90, 62, 90}},
        {500000, {0x80, 60, 0}}, {750000, {0xE1, 0, 0x40}}, {750000, {0xF0, 0x7E, 0x09, 0xF7}},
    };
    EXPECT_EQ(eventsOf(*piece), want);
    EXPECT_EQ(piece->lengthMicros, 750000);
}

TEST(MidiReader, TracksMergeInTimeAndTheLongestSetsTheLength) {
    const auto piece = parseMidi(
        smf(1, 480,
            {track({{0, tempo(1000000)}}), track({{480, {0x90, 40, 1}}, {480, {0x80, 40, 0}}}),
             track({{240, {0x91, 50, 1}}, {1440, {0x81, 50, 0}}})}));
    ASSERT_NE(piece, nullptr);
    const std::vector<Timed> want = {{500000, {0x91, 50, 1}},
                                     {1000000, {0x90, 40, 1}},
                                     {2000000, {0x80, 40, 0}},
                                     {3500000, {0x81, 50, 0}}};
    EXPECT_EQ(eventsOf(*piece), want);
    EXPECT_EQ(piece->lengthMicros, 3500000);
}

TEST(MidiReader, EndOfTrackLaterThanTheLastNoteSetsTheLoop) {
    Bytes t = track({{0, {0x90, 60, 100}}, {10, {0x80, 60, 0}}, {86, {0xFF, 0x2F, 0x00}}}, false);
    const auto piece = parseMidi(smf(0, 96, {t}));
    ASSERT_NE(piece, nullptr);
    EXPECT_EQ(piece->lengthMicros, 500000);
}

TEST(MidiReader, SmpteDivisionHasAFixedTick) {
    // 25 frames a second, 40 ticks a frame: a millisecond a tick, whatever the tempo says.
    const uint16_t division = static_cast<uint16_t>((256 - 25) << 8 | 40);
    const auto piece = parseMidi(smf(0, division, {track({{0, tempo(100)}, {250, {0x90, 1, 1}}})}));
    ASSERT_NE(piece, nullptr);
    EXPECT_EQ(eventsOf(*piece), (std::vector<Timed>{{250000, {0x90, 1, 1}}}));
}

TEST(MidiReader, DamagedFilesAreRefused) {
    const Bytes good = smf(0, 96, {track({{0, {0x90, 60, 100}}})});
    ASSERT_NE(parseMidi(good), nullptr);
    Bytes cut = good;
    cut.resize(cut.size() - 3);
    Bytes longHeader = good;
    longHeader[7] = 200;
    const std::vector<std::pair<const char*, Bytes>> cases = {
        {"cut inside a track", cut},
        {"header longer than the file", longHeader},
        {"not a MIDI file", Bytes{'R', 'I', 'F', 'F', 0, 0, 0, 4, 'R', 'M', 'I', 'D', 0, 0}},
        {"no track", smf(0, 96, {})},
        {"division zero", smf(0, 0, {track({{0, {0x90, 60, 100}}})})},
        {"data byte without a status", smf(0, 96, {track({{0, {60, 100}}})})},
        {"status inside the data", smf(0, 96, {track({{0, {0x90, 60, 0x90}}})})},
        {"system message in a track", smf(0, 96, {track({{0, {0xF8}}})})},
        {"meta longer than the track", smf(0, 96, {track({{0, {0xFF, 0x01, 0x7F}}})})},
        {"message cut at the track's end", smf(0, 96, {track({{0, {0x90, 60}}}, false)})},
        // A meta event or a system exclusive ends running status: the data bytes after one have
        // no status to belong to.
        {"data bytes after a meta event",
         smf(0, 96, {track({{0, {0x90, 60, 100}}, {0, {0xFF, 0x01, 0x00}}, {0, {62, 90}}})})},
        {"data bytes after a system exclusive",
         smf(0, 96, {track({{0, {0x90, 60, 100}}, {0, {0xF0, 0x01, 0xF7}}, {0, {62, 90}}})})},
        {"more than a day", smf(0, 1, {track({{0, tempo(0xFFFFFF)}, {0x0FFFFFFF, {0x90, 1, 1}}})})},
    };
    for (const auto& [what, file] : cases) {
        EXPECT_EQ(parseMidi(file), nullptr) << what;
    }
    // A delta time that never ends: four bytes with the continuation bit.
    Bytes endless = smf(0, 96, {});
    endless[11] = 1;
    endless.insert(endless.end(), {'M', 'T', 'r', 'k', 0, 0, 0, 5, 0x81, 0x81, 0x81, 0x81, 0x01});
    EXPECT_EQ(parseMidi(endless), nullptr);
}

// Records what the sequencer sends and when, in frames.
class Recorder : public MidiOutput {
  public:
    void send(const uint8_t* message, std::size_t length) override {
        sent.push_back({now, Bytes(message, message + length)});
    }
    std::vector<Timed> sent;
    int64_t now = 0;
};

void run(Sequencer& seq, Recorder& out, uint32_t frames, uint32_t block = 256) {
    uint32_t done = 0;
    while (done < frames) {
        const uint32_t n = seq.step(std::min(block, frames - done));
        out.now += n;
        done += n;
    }
}

std::vector<Timed> notes(const std::vector<Timed>& sent) {
    std::vector<Timed> out;
    for (const Timed& t : sent) {
        if ((t.message[0] & 0xF0) != 0xB0) {
            out.push_back(t);
        }
    }
    return out;
}

TEST(Sequencer, EventsAtSampleTimesAndLoopsWithoutAGap) {
    // Half a second at 1000 Hz: 500 frames, a note at 0 and its end at 250.
    const auto piece = parseMidi(
        smf(0, 96, {track({{0, {0x90, 60, 100}}, {48, {0x80, 60, 0}}, {48, {0xFF, 0x01, 0}}})}));
    ASSERT_NE(piece, nullptr);
    Recorder out;
    Sequencer seq(out, 1000);
    seq.play(piece, MusicSegment::kRepeatForever);
    out.sent.clear();
    run(seq, out, 1200, 7);
    const std::vector<Timed> want = {{0, {0x90, 60, 100}},
                                     {250, {0x80, 60, 0}},
                                     {500, {0x90, 60, 100}},
                                     {750, {0x80, 60, 0}},
                                     {1000, {0x90, 60, 100}}};
    EXPECT_EQ(out.sent, want);
    EXPECT_TRUE(seq.isPlaying());
}

TEST(Sequencer, RepeatsThenEnds) {
    const auto piece = parseMidi(smf(0, 96, {track({{0, {0x90, 60, 100}}, {96, {0x80, 60, 0}}})}));
    Recorder out;
    Sequencer seq(out, 1000);
    seq.play(piece, 1);
    run(seq, out, 3000);
    EXPECT_EQ(notes(out.sent).size(), 4u);
    EXPECT_FALSE(seq.isPlaying());
}

TEST(Sequencer, StopAndSwitchSilenceEveryChannel) {
    const auto piece = parseMidi(smf(0, 96, {track({{0, {0x90, 60, 100}}, {960, {0x80, 60, 0}}})}));
    Recorder out;
    Sequencer seq(out, 1000);
    seq.play(piece, MusicSegment::kRepeatForever);
    run(seq, out, 100);
    for (int round = 0; round < 2; ++round) {
        out.sent.clear();
        if (round == 0) {
            seq.play(piece, MusicSegment::kRepeatForever);
        } else {
            seq.stop();
        }
        ASSERT_GE(out.sent.size(), 48u);
        for (uint8_t ch = 0; ch < 16; ++ch) {
            for (uint8_t cc : {123, 120, 121}) {
                const Timed want{out.now, {static_cast<uint8_t>(0xB0 | ch), cc, 0}};
                EXPECT_NE(std::find(out.sent.begin(), out.sent.end(), want), out.sent.end())
                    << int(ch) << " " << int(cc);
            }
        }
    }
    EXPECT_FALSE(seq.isPlaying());
    out.sent.clear();
    run(seq, out, 2000);
    EXPECT_TRUE(out.sent.empty());
}

TEST(Sequencer, PieceWithoutLengthPlaysOnce) {
    const auto piece = parseMidi(smf(0, 96, {track({{0, {0x90, 60, 100}}, {0, {0x80, 60, 0}}})}));
    ASSERT_NE(piece, nullptr);
    EXPECT_EQ(piece->lengthMicros, 0);
    Recorder out;
    Sequencer seq(out, 48000);
    seq.play(piece, MusicSegment::kRepeatForever);
    out.sent.clear();
    run(seq, out, 1000);
    EXPECT_EQ(out.sent.size(), 2u);
    EXPECT_FALSE(seq.isPlaying());
}

}  // namespace
