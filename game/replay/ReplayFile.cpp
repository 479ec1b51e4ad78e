#include "game/replay/ReplayFile.h"

#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <string_view>

#include "game/replay/ByteStream.h"
#include "game/replay/GameStart.h"
#include "game/replay/MessageCodec.h"
#include "game/replay/RecordingCheck.h"
#include "platform/AtomicFile.h"
#include "platform/Message.h"
#include "platform/WholeFile.h"

namespace quelvane {

namespace {

constexpr char kMagic[8] = {'Q', 'V', 'R', 'E', 'P', 'L', 'A', 'Y'};
constexpr size_t kMaxName = 255;
// The largest file that can hold a recording of the largest size: zlib's worst case is a few bytes
// more than the input.
constexpr uint64_t kMaxFileBytes = kMaxRecordingBytes + (kMaxRecordingBytes >> 8) + 4096;
// The fewest bytes a taped message takes: its pump's step, its kind and its key.
constexpr uint64_t kSmallestMessage = 3;
// A pass reads the clock a few times for itself and once more for each alien, rocket or pickup
// that times something: a recorded game reads it fewer than 5 times a pass. Far more is no game.
constexpr uint64_t kMostTickReadsPerPass = 1024;

void writeMessages(ByteWriter& w, const Recording& r) {
    w.varint(r.pumps);
    w.varint(r.messages.size());
    uint32_t lastPump = 0;
    for (const TapedMessage& t : r.messages) {
        w.varint(t.pump - lastPump);
        lastPump = t.pump;
        writeMessage(w, t.message);
    }
}

bool readMessages(ByteReader& r, Recording& out) {
    out.pumps = static_cast<uint32_t>(r.varint(UINT32_MAX));
    const uint64_t count = r.count(UINT32_MAX, kSmallestMessage);
    uint64_t pump = 0;
    for (uint64_t i = 0; i < count && !r.failed(); ++i) {
        pump += r.varint(UINT32_MAX);
        platform::Message m;
        if (!readMessage(r, m) || !platform::changesGame(m) || pump >= out.pumps)
            return false;
        out.messages.push_back({static_cast<uint32_t>(pump), m});
    }
    return !r.failed();
}

void writeScoreReads(ByteWriter& w, const Recording& r) {
    w.varint(r.scoreReads.size());
    for (const std::optional<ScoreFile>& read : r.scoreReads) {
        if (!read) {
            w.u8(0);
            continue;
        }
        w.u8(1 | (read->endsInName ? 2 : 0) | (read->readFailed ? 4 : 0));
        w.varint(read->entries.size());
        for (const ScoreEntry& e : read->entries) {
            w.text(e.name);
            w.text(e.score);
        }
    }
}

// The game reads the scores file once as it checks the score, and once each time a key opens the
// table: no more often than it was handed key presses, taped or waiting when the game began.
uint64_t mostScoreReads(const Recording& r) {
    uint64_t presses = 0;
    for (const TapedMessage& t : r.messages)
        presses += t.message.kind == platform::MessageKind::KeyDown;
    return presses + kMaxWaitingMessages + 1;
}

bool readScoreReads(ByteReader& r, Recording& out) {
    const uint64_t count = r.count(mostScoreReads(out));
    for (uint64_t i = 0; i < count && !r.failed(); ++i) {
        const uint8_t flags = r.u8();
        if (flags > 7)
            return false;
        if ((flags & 1) == 0) {
            out.scoreReads.emplace_back();
            continue;
        }
        ScoreFile file;
        file.endsInName = flags & 2;
        file.readFailed = flags & 4;
        const uint64_t entries = r.varint(kTableEntries);
        for (uint64_t e = 0; e < entries && !r.failed(); ++e) {
            ScoreEntry entry;
            entry.name = r.text(kNameChars);
            entry.score = r.text(kScoreChars);
            file.entries.push_back(std::move(entry));
        }
        out.scoreReads.push_back(std::move(file));
    }
    return !r.failed();
}

// Most tick counts repeat the one before or follow it closely: small differences, modulo the wrap.
void writeTicks(ByteWriter& w, const std::vector<uint32_t>& ticks) {
    w.varint(ticks.size());
    uint32_t last = 0;
    for (const uint32_t tick : ticks) {
        w.varint(tick - last);
        last = tick;
    }
}

bool readTicks(ByteReader& r, std::vector<uint32_t>& ticks, uint64_t most) {
    const uint64_t count = r.count(most);
    ticks.reserve(count);
    uint32_t last = 0;
    for (uint64_t i = 0; i < count && !r.failed(); ++i) {
        last += static_cast<uint32_t>(r.varint(UINT32_MAX));
        ticks.push_back(last);
    }
    return !r.failed();
}

std::vector<uint8_t> encodeBody(const Recording& r) {
    ByteWriter w;
    w.text(r.snapshot);
    w.text(r.controls);
    writeTicks(w, r.ticks);
    writeTicks(w, r.passTicks);
    writeMessages(w, r);
    writeScoreReads(w, r);
    return std::move(w.out);
}

bool decodeBody(const std::vector<uint8_t>& body, Recording& out) {
    ByteReader r(body.data(), body.size());
    out.snapshot = r.text(body.size());
    out.controls = r.text(body.size());
    // A game too long to check is refused once read; it takes no more room before.
    const uint64_t passes = std::min<uint64_t>(out.header.passes, mostPasses(kLongestGame));
    return readTicks(r, out.ticks, passes * kMostTickReadsPerPass) &&
           readTicks(r, out.passTicks, passes) && readMessages(r, out) && readScoreReads(r, out) &&
           r.atEnd();
}

void writeHeader(ByteWriter& w, const ReplayHeader& h) {
    w.out.insert(w.out.end(), std::begin(kMagic), std::end(kMagic));
    w.le(kReplayFormatVersion, 2);
    w.le(h.rulesVersion, 8);
    w.le(static_cast<uint64_t>(h.recordedAt), 8);
    w.le(h.passes, 4);
    w.le(h.milliseconds, 4);
    w.le(static_cast<uint64_t>(h.score), 8);
    const std::string name = h.name.substr(0, kMaxName);
    w.u8(static_cast<uint8_t>(name.size()));
    w.out.insert(w.out.end(), name.begin(), name.end());
}

// Refuses a read: its kind and its reason.
void refuse(ReplayRead& read, ReplayFault fault, std::string reason) {
    read.fault = fault;
    read.error = std::move(reason);
}

// The header; none, the read refused with the reason, when it is not one of this format.
std::optional<ReplayHeader> readHeader(ByteReader& r, ReplayRead& read) {
    for (const char c : kMagic) {
        if (r.u8() != static_cast<uint8_t>(c)) {
            refuse(read, ReplayFault::NotAReplay, "not a Quelvane replay");
            return std::nullopt;
        }
    }
    const uint64_t version = r.le(2);
    if (r.failed()) {
        refuse(read, ReplayFault::Damaged, "truncated");
        return std::nullopt;
    }
    if (version != kReplayFormatVersion) {
        refuse(read, ReplayFault::NotAReplay,
               "made in replay format " + std::to_string(version) + "; this game reads format " +
                   std::to_string(kReplayFormatVersion));
        return std::nullopt;
    }
    ReplayHeader h;
    h.rulesVersion = r.le(8);
    h.recordedAt = static_cast<int64_t>(r.le(8));
    h.passes = static_cast<uint32_t>(r.le(4));
    h.milliseconds = static_cast<uint32_t>(r.le(4));
    h.score = static_cast<int64_t>(r.le(8));
    const uint8_t nameSize = r.u8();
    for (uint8_t i = 0; i < nameSize && !r.failed(); ++i)
        h.name.push_back(static_cast<char>(r.u8()));
    if (r.failed()) {
        refuse(read, ReplayFault::Damaged, "truncated");
        return std::nullopt;
    }
    return h;
}

std::string hex(uint64_t v) {
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(v));
    return text;
}

}  // namespace

std::vector<uint8_t> encodeReplay(const Recording& recording) {
    const std::vector<uint8_t> body = encodeBody(recording);
    ByteWriter w;
    writeHeader(w, recording.header);
    uLongf packedSize = compressBound(body.size());
    std::vector<uint8_t> packed(packedSize);
    if (compress2(packed.data(), &packedSize, body.data(), body.size(), Z_BEST_COMPRESSION) != Z_OK)
        return {};
    packed.resize(packedSize);
    w.le(body.size(), 4);
    w.le(packed.size(), 4);
    uLong crc = crc32(0, w.out.data(), static_cast<uInt>(w.out.size()));
    crc = crc32(crc, body.data(), static_cast<uInt>(body.size()));
    w.le(crc, 4);
    w.out.insert(w.out.end(), packed.begin(), packed.end());
    return std::move(w.out);
}

std::optional<ReplayHeader> peekReplayHeader(const std::vector<uint8_t>& bytes) {
    ByteReader r(bytes.data(), bytes.size());
    ReplayRead ignored;
    return readHeader(r, ignored);
}

namespace {

// Inflates a recording into body; an empty answer when it comes to exactly its header's size. The
// body grows as the bytes arrive, never on the header's word alone, and stops at that size: a
// stream that would inflate to more is no bomb here.
std::string inflateBody(const uint8_t* packed, uLong packedSize, uint64_t size,
                        std::vector<uint8_t>& body) {
    constexpr uint64_t kPiece = 64u << 10;
    z_stream z{};
    if (inflateInit(&z) != Z_OK)
        return "damaged: the compressed recording does not inflate";
    z.next_in = const_cast<uint8_t*>(packed);
    z.avail_in = static_cast<uInt>(packedSize);
    int status = Z_OK;
    while (status == Z_OK) {
        const size_t done = body.size();
        // One byte past the claimed size, to see a stream that holds more.
        body.resize(std::min(done + kPiece, size + 1));
        z.next_out = body.data() + done;
        z.avail_out = static_cast<uInt>(body.size() - done);
        status = inflate(&z, Z_NO_FLUSH);
        body.resize(body.size() - z.avail_out);
        if (body.size() > size)
            status = Z_BUF_ERROR;
    }
    inflateEnd(&z);
    if (body.size() > size)
        return "damaged: the recording is larger than its header says";
    if (status == Z_STREAM_END && body.size() < size)
        return "damaged: the recording is smaller than its header says";
    if (status != Z_STREAM_END || z.avail_in != 0)
        return "damaged: the compressed recording does not inflate";
    return {};
}

}  // namespace

ReplayRead decodeReplay(const std::vector<uint8_t>& bytes, uint64_t expectedRules,
                        uint32_t maxRecordingBytes) {
    ReplayRead result;
    ByteReader r(bytes.data(), bytes.size());
    std::optional<ReplayHeader> header = readHeader(r, result);
    if (!header)
        return result;
    const uint64_t bodySize = r.le(4);
    const uint64_t packedSize = r.le(4);
    const uint32_t crc = static_cast<uint32_t>(r.le(4));
    if (r.failed()) {
        refuse(result, ReplayFault::Damaged, "truncated");
        return result;
    }
    if (expectedRules != 0 && header->rulesVersion != expectedRules) {
        refuse(result, ReplayFault::OtherRules,
               "recorded by a game with other rules (version " + hex(header->rulesVersion) +
                   ", this game has " + hex(expectedRules) + ")");
        return result;
    }
    if (bodySize > maxRecordingBytes) {
        refuse(result, ReplayFault::TooLarge,
               "claims " + std::to_string(bodySize) + " bytes of recording, more than " +
                   std::to_string(maxRecordingBytes) + " a replay may hold");
        return result;
    }
    if (packedSize != r.left()) {
        refuse(
            result, ReplayFault::Damaged,
            packedSize > r.left() ? "truncated" : "damaged: bytes after the end of the recording");
        return result;
    }
    std::vector<uint8_t> body;
    std::string error =
        inflateBody(bytes.data() + (bytes.size() - packedSize), packedSize, bodySize, body);
    if (error.empty()) {
        // The header with both sizes, then the recording as it was before compression.
        const size_t headerSize = bytes.size() - packedSize - 4;
        uLong sum = crc32(0, bytes.data(), static_cast<uInt>(headerSize));
        sum = crc32(sum, body.data(), static_cast<uInt>(body.size()));
        if (sum != crc)
            error = "damaged: its checksum does not match";
    }
    Recording recording;
    recording.header = std::move(*header);
    if (error.empty() && !decodeBody(body, recording))
        error = "damaged: the recording's content is broken";
    if (error.empty())
        error = checkRecording(recording);
    if (!error.empty()) {
        refuse(result, ReplayFault::Damaged, std::move(error));
        return result;
    }
    result.recording = std::move(recording);
    return result;
}

std::optional<std::vector<uint8_t>> readReplayBytes(const std::filesystem::path& file,
                                                    uint64_t maxBytes, ReplayRead& refusal) {
    platform::WholeFile read = platform::readWholeFile(file, maxBytes);
    if (read.fault == platform::WholeFile::Fault::None)
        return std::move(read.bytes);
    // Said after the file's name: "last.qvr cannot be opened".
    refuse(refusal,
           read.fault == platform::WholeFile::Fault::TooLarge ? ReplayFault::TooLarge
                                                              : ReplayFault::Damaged,
           platform::describe(read, maxBytes,
                              {"cannot be opened", "is not a file", "too large to be a replay",
                               "cannot be read"}));
    return std::nullopt;
}

ReplayRead readReplayFile(const std::filesystem::path& file, uint64_t expectedRules) {
    ReplayRead result;
    const std::optional<std::vector<uint8_t>> bytes = readReplayBytes(file, kMaxFileBytes, result);
    return bytes ? decodeReplay(*bytes, expectedRules) : result;
}

bool writeReplayFile(const std::filesystem::path& file, const Recording& recording,
                     std::string* reason) {
    const std::vector<uint8_t> bytes = encodeReplay(recording);
    if (bytes.empty()) {
        if (reason)
            *reason = "the recording cannot be compressed";
        return false;
    }
    return platform::replaceFileContents(
        file, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()),
        platform::InPlaceWrite::Never, reason);
}

}  // namespace quelvane
