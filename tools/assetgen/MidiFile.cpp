#include "tools/assetgen/MidiFile.h"

#include <algorithm>
#include <fstream>

#include "platform/ByteOrder.h"

namespace assetgen {

namespace {

enum Rank { kMeta = 0, kSetup = 1, kNoteOff = 2, kNoteOn = 3, kEnd = 4 };

void putVariable(std::vector<uint8_t>& out, uint32_t value) {
    uint8_t groups[5];
    int count = 0;
    do {
        groups[count++] = static_cast<uint8_t>(value & 0x7F);
        value >>= 7;
    } while (value != 0);
    while (count > 1) {
        out.push_back(static_cast<uint8_t>(groups[--count] | 0x80));
    }
    out.push_back(groups[0]);
}

uint8_t data7(int v) {
    return static_cast<uint8_t>(std::clamp(v, 0, 127));
}

uint8_t status(int kind, int channel) {
    return static_cast<uint8_t>(kind | (channel & 0x0F));
}

}  // namespace

void MidiTrack::add(uint32_t tick, int rank, std::vector<uint8_t> data) {
    events.push_back(Event{tick, rank, std::move(data)});
}

void MidiTrack::name(const std::string& text) {
    std::vector<uint8_t> data = {0xFF, 0x03};
    putVariable(data, static_cast<uint32_t>(text.size()));
    data.insert(data.end(), text.begin(), text.end());
    add(0, kMeta, std::move(data));
}

void MidiTrack::tempo(uint32_t us) {
    std::vector<uint8_t> data = {0xFF, 0x51, 0x03};
    byteorder::appendBe(data, us, 3);
    add(0, kMeta, std::move(data));
}

void MidiTrack::timeSignature(int numerator, int denominatorPower) {
    add(0, kMeta, {0xFF, 0x58, 0x04, data7(numerator), data7(denominatorPower), 24, 8});
}

void MidiTrack::program(int channel, int number, uint32_t tick) {
    add(tick, kSetup, {status(0xC0, channel), data7(number)});
}

void MidiTrack::controller(int channel, int number, int value, uint32_t tick) {
    add(tick, kSetup, {status(0xB0, channel), data7(number), data7(value)});
}

void MidiTrack::note(int channel, int key, int velocity, uint32_t start, uint32_t length) {
    add(start, kNoteOn,
        {status(0x90, channel), data7(key), static_cast<uint8_t>(std::clamp(velocity, 1, 127))});
    add(start + length, kNoteOff, {status(0x80, channel), data7(key), 64});
}

void MidiTrack::end(uint32_t tick) {
    add(tick, kEnd, {0xFF, 0x2F, 0x00});
}

std::vector<uint8_t> MidiTrack::body() const {
    std::vector<Event> sorted = events;
    std::stable_sort(sorted.begin(), sorted.end(), [](const Event& a, const Event& b) {
        return a.tick != b.tick ? a.tick < b.tick : a.rank < b.rank;
    });
    std::vector<uint8_t> out;
    uint32_t now = 0;
    for (const Event& e : sorted) {
        putVariable(out, e.tick - now);
        now = e.tick;
        out.insert(out.end(), e.data.begin(), e.data.end());
    }
    return out;
}

bool writeMidi(const std::string& path, int division, const std::vector<MidiTrack>& tracks) {
    std::vector<uint8_t> bytes = {'M', 'T', 'h', 'd'};
    byteorder::appendBe(bytes, 6, 4);
    byteorder::appendBe(bytes, 1, 2);
    byteorder::appendBe(bytes, static_cast<uint32_t>(tracks.size()), 2);
    byteorder::appendBe(bytes, static_cast<uint32_t>(division), 2);
    for (const MidiTrack& track : tracks) {
        const std::vector<uint8_t> body = track.body();
        bytes.insert(bytes.end(), {'M', 'T', 'r', 'k'});
        byteorder::appendBe(bytes, static_cast<uint32_t>(body.size()), 4);
        bytes.insert(bytes.end(), body.begin(), body.end());
    }
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    // The last bytes reach the disk only here: a full disk shows in the close.
    out.close();
    return !out.fail();
}

}  // namespace assetgen
