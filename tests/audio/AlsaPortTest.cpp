#include <alsa/asoundlib.h>
#include <gtest/gtest.h>

#include <vector>

#include "audio/AlsaPort.h"

namespace {

using Bytes = std::vector<uint8_t>;

snd_seq_event_t translate(const Bytes& message) {
    snd_seq_event_t event{};
    EXPECT_TRUE(toSequencerEvent(message.data(), message.size(), event));
    return event;
}

TEST(AlsaPortEvents, NotesAndKeyPressureKeepChannelKeyAndVelocity) {
    const struct {
        Bytes message;
        snd_seq_event_type_t type;
    } cases[] = {
        {{0x93, 60, 100}, SND_SEQ_EVENT_NOTEON},
        {{0x8F, 61, 64}, SND_SEQ_EVENT_NOTEOFF},
        {{0xA5, 62, 33}, SND_SEQ_EVENT_KEYPRESS},
    };
    for (const auto& c : cases) {
        const snd_seq_event_t e = translate(c.message);
        EXPECT_EQ(e.type, c.type);
        EXPECT_EQ(e.data.note.channel, c.message[0] & 0x0F);
        EXPECT_EQ(e.data.note.note, c.message[1]);
        EXPECT_EQ(e.data.note.velocity, c.message[2]);
    }
}

TEST(AlsaPortEvents, ControlMessagesCarryTheirValue) {
    const struct {
        Bytes message;
        snd_seq_event_type_t type;
        unsigned param;
        int value;
    } cases[] = {
        {{0xB2, 7, 90}, SND_SEQ_EVENT_CONTROLLER, 7, 90},
        {{0xC4, 19}, SND_SEQ_EVENT_PGMCHANGE, 0, 19},
        {{0xD6, 70}, SND_SEQ_EVENT_CHANPRESS, 0, 70},
        // A bend's 14 bits come least significant first; the sequencer counts from the middle.
        {{0xE1, 0x00, 0x40}, SND_SEQ_EVENT_PITCHBEND, 0, 0},
        {{0xE1, 0x00, 0x00}, SND_SEQ_EVENT_PITCHBEND, 0, -8192},
        {{0xE1, 0x7F, 0x7F}, SND_SEQ_EVENT_PITCHBEND, 0, 8191},
        {{0xE1, 0x01, 0x60}, SND_SEQ_EVENT_PITCHBEND, 0, 0x3001 - 0x2000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.message[0]));
        const snd_seq_event_t e = translate(c.message);
        EXPECT_EQ(e.type, c.type);
        EXPECT_EQ(e.data.control.channel, c.message[0] & 0x0F);
        EXPECT_EQ(e.data.control.param, c.param);
        EXPECT_EQ(e.data.control.value, c.value);
    }
}

TEST(AlsaPortEvents, SystemExclusivePointsAtTheWholeMessage) {
    const Bytes sysex = {0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7};
    const snd_seq_event_t e = translate(sysex);
    EXPECT_EQ(e.type, SND_SEQ_EVENT_SYSEX);
    EXPECT_EQ(e.flags & SND_SEQ_EVENT_LENGTH_MASK, SND_SEQ_EVENT_LENGTH_VARIABLE);
    EXPECT_EQ(e.data.ext.len, sysex.size());
    EXPECT_EQ(e.data.ext.ptr, sysex.data());
}

TEST(AlsaPortEvents, OtherMessagesAreNotSent) {
    snd_seq_event_t e;
    for (const Bytes& message : {Bytes{}, Bytes{0xF7, 0x01, 0xF7}, Bytes{0xF8}, Bytes{0xFF}}) {
        EXPECT_FALSE(toSequencerEvent(message.data(), message.size(), e)) << message.size();
    }
}

}  // namespace
