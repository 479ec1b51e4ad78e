#pragma once

#include <cstdint>
#include <iterator>
#include <string>
#include <vector>

#include "platform/ByteOrder.h"

// Small WAV and Standard MIDI files, built byte by byte for the tests.
namespace audiofiles {

using Bytes = std::vector<uint8_t>;

inline void le16(Bytes& b, uint32_t v) {
    byteorder::appendLe(b, v, 2);
}
inline void le32(Bytes& b, uint32_t v) {
    byteorder::appendLe(b, v, 4);
}
inline void be16(Bytes& b, uint32_t v) {
    byteorder::appendBe(b, v, 2);
}
inline void be32(Bytes& b, uint32_t v) {
    byteorder::appendBe(b, v, 4);
}
inline void append(Bytes& b, const Bytes& more) {
    b.insert(b.end(), more.begin(), more.end());
}

struct Chunk {
    std::string id;
    Bytes body;
    bool pad = true;  // an odd body is followed by a pad byte, as RIFF asks
};

// A 16-byte "fmt " body, or longer with extra bytes after it.
inline Bytes fmtBody(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits) {
    Bytes b;
    le16(b, tag);
    le16(b, channels);
    le32(b, rate);
    le32(b, rate * channels * bits / 8);
    le16(b, channels * bits / 8);
    le16(b, bits);
    return b;
}

// WAVE_FORMAT_EXTENSIBLE: 40 bytes, the real tag in the sub-format.
inline Bytes extensibleBody(uint16_t subFormat, uint16_t channels, uint32_t rate, uint16_t bits) {
    Bytes b = fmtBody(0xFFFE, channels, rate, bits);
    le16(b, 22);
    le16(b, bits);
    le32(b, channels == 1 ? 4 : 3);
    le16(b, subFormat);
    const uint8_t guidTail[] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                                0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};
    b.insert(b.end(), std::begin(guidTail), std::end(guidTail));
    return b;
}

inline Bytes riff(const std::vector<Chunk>& chunks, const std::string& header = "RIFF") {
    Bytes body;
    for (const Chunk& c : chunks) {
        body.insert(body.end(), c.id.begin(), c.id.end());
        le32(body, static_cast<uint32_t>(c.body.size()));
        append(body, c.body);
        if (c.pad && c.body.size() % 2 == 1) {
            body.push_back(0);
        }
    }
    Bytes b(header.begin(), header.end());
    le32(b, static_cast<uint32_t>(body.size() + 4));
    b.insert(b.end(), {'W', 'A', 'V', 'E'});
    append(b, body);
    return b;
}

inline Bytes pcm16(const std::vector<int16_t>& samples) {
    Bytes b;
    for (int16_t s : samples) {
        le16(b, static_cast<uint16_t>(s));
    }
    return b;
}

// A plain 16-bit stereo file at the mixer's rate.
inline Bytes stereoWav(const std::vector<int16_t>& interleaved, uint32_t rate = 48000) {
    return riff({{"fmt ", fmtBody(1, 2, rate, 16)}, {"data", pcm16(interleaved)}});
}

inline void vlq(Bytes& b, uint32_t v) {
    uint8_t groups[5];
    int n = 0;
    do {
        groups[n++] = v & 0x7F;
        v >>= 7;
    } while (v != 0);
    while (n > 1) {
        b.push_back(groups[--n] | 0x80);
    }
    b.push_back(groups[0]);
}

// Track events: delta time then the raw bytes, which may rely on running status.
struct TrackEvent {
    uint32_t delta;
    Bytes bytes;
};

inline Bytes track(const std::vector<TrackEvent>& events, bool endOfTrack = true) {
    Bytes body;
    for (const TrackEvent& e : events) {
        vlq(body, e.delta);
        append(body, e.bytes);
    }
    if (endOfTrack) {
        body.insert(body.end(), {0x00, 0xFF, 0x2F, 0x00});
    }
    Bytes b{'M', 'T', 'r', 'k'};
    be32(b, static_cast<uint32_t>(body.size()));
    append(b, body);
    return b;
}

inline Bytes smf(uint16_t format, uint16_t division, const std::vector<Bytes>& tracks) {
    Bytes b{'M', 'T', 'h', 'd'};
    be32(b, 6);
    be16(b, format);
    be16(b, static_cast<uint16_t>(tracks.size()));
    be16(b, division);
    for (const Bytes& t : tracks) {
        append(b, t);
    }
    return b;
}

inline Bytes tempo(uint32_t microsPerQuarter) {
    Bytes b{0xFF, 0x51, 0x03};
    byteorder::appendBe(b, microsPerQuarter, 3);
    return b;
}

}  // namespace audiofiles
