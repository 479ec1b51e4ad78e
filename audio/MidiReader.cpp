#include "audio/MidiReader.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>
#include <vector>

#include "platform/ByteOrder.h"

namespace {

constexpr double kMaxMicros = 24.0 * 3600 * 1e6;
// Far beyond a day at any tempo a file can set, so tick sums never overflow.
constexpr uint64_t kMaxTick = uint64_t{1} << 40;
constexpr uint32_t kDefaultTempo = 500000;  // microseconds per quarter note: 120 beats a minute

struct Cursor {
    const uint8_t* p;
    const uint8_t* end;

    std::size_t left() const { return static_cast<std::size_t>(end - p); }
    std::optional<uint32_t> vlq() {
        uint32_t value = 0;
        for (int i = 0; i < 4; ++i) {
            if (p == end) {
                return std::nullopt;
            }
            const uint8_t b = *p++;
            value = (value << 7) | (b & 0x7F);
            if ((b & 0x80) == 0) {
                return value;
            }
        }
        return std::nullopt;
    }
};

struct TimedMessage {
    uint64_t tick;
    uint32_t offset;
    uint32_t length;
};

struct TempoChange {
    uint64_t tick;
    uint32_t microsPerQuarter;
};

class Parser {
  public:
    bool track(Cursor c);
    std::shared_ptr<const MidiPiece> finish(uint16_t division);

  private:
    // Each reads one event at c, its delta time already read; false for a damaged one.
    bool meta(Cursor& c, uint64_t tick, bool& endOfTrack);
    bool sysex(Cursor& c, uint64_t tick);
    // A channel message, in running status when it has no status byte of its own.
    bool channel(Cursor& c, uint64_t tick, uint8_t& running);

    MidiPiece piece_;
    std::vector<TimedMessage> messages_;
    std::vector<TempoChange> tempos_;
    uint64_t endTick_ = 0;
};

bool Parser::track(Cursor c) {
    uint64_t tick = 0;
    uint8_t running = 0;
    bool endOfTrack = false;
    while (c.left() > 0 && !endOfTrack) {
        const auto delta = c.vlq();
        if (!delta || c.left() == 0) {
            return false;
        }
        tick += *delta;
        if (tick > kMaxTick) {
            return false;
        }
        const uint8_t first = *c.p;
        bool read = false;
        if (first == 0xFF) {
            read = meta(c, tick, endOfTrack);
            running = 0;
        } else if (first == 0xF0 || first == 0xF7) {
            read = sysex(c, tick);
            running = 0;
        } else {
            read = channel(c, tick, running);
        }
        if (!read) {
            return false;
        }
    }
    endTick_ = std::max(endTick_, tick);
    return true;
}

bool Parser::meta(Cursor& c, uint64_t tick, bool& endOfTrack) {
    ++c.p;
    if (c.left() == 0) {
        return false;
    }
    const uint8_t type = *c.p++;
    const auto length = c.vlq();
    if (!length || *length > c.left()) {
        return false;
    }
    if (type == 0x51 && *length >= 3) {
        tempos_.push_back({tick, byteorder::readBe(c.p, 3)});
    }
    c.p += *length;
    endOfTrack = type == 0x2F;
    return true;
}

bool Parser::sysex(Cursor& c, uint64_t tick) {
    const uint8_t first = *c.p++;
    const auto length = c.vlq();
    if (!length || *length > c.left()) {
        return false;
    }
    // A continuation packet (F7) belongs to a split system exclusive, which is not sent.
    if (first == 0xF0) {
        messages_.push_back({tick, static_cast<uint32_t>(piece_.bytes.size()), *length + 1});
        piece_.bytes.push_back(0xF0);
        piece_.bytes.insert(piece_.bytes.end(), c.p, c.p + *length);
    }
    c.p += *length;
    return true;
}

bool Parser::channel(Cursor& c, uint64_t tick, uint8_t& running) {
    const uint8_t first = *c.p;
    uint8_t status = running;
    if (first & 0x80) {
        if (first >= 0xF0) {
            return false;
        }
        status = first;
        ++c.p;
    }
    if (status == 0) {
        return false;
    }
    running = status;
    const uint32_t dataBytes = (status & 0xE0) == 0xC0 ? 1 : 2;
    if (c.left() < dataBytes) {
        return false;
    }
    messages_.push_back({tick, static_cast<uint32_t>(piece_.bytes.size()), dataBytes + 1});
    piece_.bytes.push_back(status);
    for (uint32_t i = 0; i < dataBytes; ++i) {
        if (c.p[i] & 0x80) {
            return false;
        }
        piece_.bytes.push_back(c.p[i]);
    }
    c.p += dataBytes;
    return true;
}

std::shared_ptr<const MidiPiece> Parser::finish(uint16_t division) {
    // Ticks per quarter note, or with the top bit set frames a second (negated) and ticks a frame:
    // a fixed tick length that tempo changes do not touch.
    double smpteTickMicros = 0;
    if (division & 0x8000) {
        const int framesPerSecond = -static_cast<int8_t>(division >> 8);
        const int ticksPerFrame = division & 0xFF;
        if (framesPerSecond <= 0 || ticksPerFrame == 0) {
            return nullptr;
        }
        smpteTickMicros = 1e6 / (framesPerSecond * ticksPerFrame);
    } else if (division == 0) {
        return nullptr;
    }
    std::stable_sort(tempos_.begin(), tempos_.end(),
                     [](const TempoChange& a, const TempoChange& b) { return a.tick < b.tick; });
    std::stable_sort(messages_.begin(), messages_.end(),
                     [](const TimedMessage& a, const TimedMessage& b) { return a.tick < b.tick; });

    std::size_t tempoIndex = 0;
    uint64_t segmentTick = 0;
    double segmentMicros = 0;
    uint32_t tempo = kDefaultTempo;
    auto microsAt = [&](uint64_t tick) {
        if (smpteTickMicros > 0) {
            return static_cast<double>(tick) * smpteTickMicros;
        }
        while (tempoIndex < tempos_.size() && tempos_[tempoIndex].tick <= tick) {
            segmentMicros +=
                static_cast<double>(tempos_[tempoIndex].tick - segmentTick) * tempo / division;
            segmentTick = tempos_[tempoIndex].tick;
            tempo = tempos_[tempoIndex].microsPerQuarter;
            ++tempoIndex;
        }
        return segmentMicros + static_cast<double>(tick - segmentTick) * tempo / division;
    };

    piece_.events.reserve(messages_.size());
    for (const TimedMessage& m : messages_) {
        const double micros = microsAt(m.tick);
        if (micros > kMaxMicros) {
            return nullptr;
        }
        piece_.events.push_back({static_cast<int64_t>(std::llround(micros)), m.offset, m.length});
    }
    const double end = microsAt(std::max(endTick_, messages_.empty() ? 0 : messages_.back().tick));
    if (end > kMaxMicros) {
        return nullptr;
    }
    piece_.lengthMicros = static_cast<int64_t>(std::llround(end));
    return std::make_shared<const MidiPiece>(std::move(piece_));
}

}  // namespace

std::shared_ptr<const MidiPiece> readMidi(const uint8_t* data, std::size_t size) {
    if (size > kMaxMidiFileBytes || size < 14 || std::memcmp(data, "MThd", 4) != 0) {
        return nullptr;
    }
    const uint32_t headerLength = byteorder::readBe32(data + 4);
    if (headerLength < 6 || headerLength > size - 8) {
        return nullptr;
    }
    const uint16_t tracks = byteorder::readBe16(data + 10);
    const uint16_t division = byteorder::readBe16(data + 12);
    Cursor c{data + 8 + headerLength, data + size};
    Parser parser;
    int found = 0;
    while (found < tracks && c.left() >= 8) {
        const uint32_t length = byteorder::readBe32(c.p + 4);
        const bool isTrack = std::memcmp(c.p, "MTrk", 4) == 0;
        c.p += 8;
        if (length > c.left()) {
            return nullptr;
        }
        if (isTrack) {
            if (!parser.track({c.p, c.p + length})) {
                return nullptr;
            }
            ++found;
        }
        c.p += length;
    }
    if (found == 0) {
        return nullptr;
    }
    return parser.finish(division);
}
