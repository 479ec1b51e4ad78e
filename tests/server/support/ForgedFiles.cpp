#include "server/support/ForgedFiles.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>

#include "game/replay/ReplayFile.h"
#include "platform/VirtualKeys.h"
#include "support/ForgedRecording.h"

namespace quelvane {

namespace {

namespace vk = platform::vk;
using Alter = std::function<void(Recording&, GameStart&)>;

Recording decoded(const std::vector<uint8_t>& genuine) {
    ReplayRead read = decodeReplay(genuine, 0);
    EXPECT_TRUE(read.recording) << read.error;
    return read.recording ? std::move(*read.recording) : Recording{};
}

std::vector<uint8_t> forged(const std::vector<uint8_t>& genuine, const Alter& alter) {
    return encodeReplay(forgeRecording(decoded(genuine), alter));
}

void putLe(std::vector<uint8_t>& out, uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

// The genuine header, then a recording of inflated zero bytes whose header claims claimed bytes:
// deflated in pieces, so that the bomb is built without its inflated size in memory.
std::vector<uint8_t> zipBomb(const std::vector<uint8_t>& genuine, uint32_t claimed,
                             uint64_t inflated) {
    const size_t nameSize = genuine.at(42);
    std::vector<uint8_t> file(genuine.begin(), genuine.begin() + 43 + nameSize);
    std::vector<uint8_t> packed;
    const std::vector<uint8_t> zeros(1u << 20, 0);
    uLong zerosCrc = crc32(0, nullptr, 0);
    z_stream z{};
    deflateInit(&z, Z_BEST_COMPRESSION);
    std::vector<uint8_t> piece(1u << 16);
    for (uint64_t left = inflated; left > 0 || z.avail_in > 0;) {
        if (z.avail_in == 0) {
            const auto take = static_cast<uInt>(std::min<uint64_t>(left, zeros.size()));
            z.next_in = const_cast<uint8_t*>(zeros.data());
            z.avail_in = take;
            left -= take;
            zerosCrc = crc32(zerosCrc, zeros.data(), take);
        }
        int status = Z_OK;
        do {
            z.next_out = piece.data();
            z.avail_out = static_cast<uInt>(piece.size());
            status = deflate(&z, left == 0 ? Z_FINISH : Z_NO_FLUSH);
            packed.insert(packed.end(), piece.data(), piece.data() + piece.size() - z.avail_out);
        } while (z.avail_out == 0 || (left == 0 && status != Z_STREAM_END));
    }
    deflateEnd(&z);
    putLe(file, claimed, 4);
    putLe(file, packed.size(), 4);
    // Over the header with both sizes, then what the recording inflates to.
    const uLong headerCrc = crc32(0, file.data(), static_cast<uInt>(file.size()));
    putLe(file, crc32_combine(headerCrc, zerosCrc, static_cast<z_off_t>(inflated)), 4);
    file.insert(file.end(), packed.begin(), packed.end());
    return file;
}

}  // namespace

std::vector<uint8_t> raisedScore(const std::vector<uint8_t>& genuine) {
    return forged(genuine, [](Recording& r, GameStart&) { r.header.score += 1000; });
}

std::vector<uint8_t> truncated(const std::vector<uint8_t>& genuine) {
    return {genuine.begin(), genuine.begin() + static_cast<long>(genuine.size() / 2)};
}

std::vector<uint8_t> otherRules(const std::vector<uint8_t>& genuine) {
    return forged(genuine, [](Recording& r, GameStart&) { r.header.rulesVersion ^= 0x5a5a; });
}

std::vector<ForgedFile> forgedFiles(const std::vector<uint8_t>& genuine) {
    std::vector<uint8_t> padded = genuine;
    padded.resize((4u << 20) + 1, 0);
    return {
        {"its score raised", raisedScore(genuine), 202, ""},
        {"a score carried into its first state",
         forged(genuine,
                [](Recording& r, GameStart& s) {
                    s.ship.score = 50'000;
                    r.header.score += 50'000;
                }),
         400, "not a new game"},
        {"its steering changed and its fire never pressed",
         forged(genuine,
                [](Recording& r, GameStart&) {
                    std::erase_if(r.messages,
                                  [](const TapedMessage& t) { return t.message.key == vk::kCtrl; });
                    for (TapedMessage& t : r.messages)
                        if (t.message.key == vk::kLeft || t.message.key == vk::kRight)
                            t.message.key = vk::kLeft + vk::kRight - t.message.key;
                }),
         202, ""},
        {"recorded under other rules", otherRules(genuine), 409, ""},
        {"truncated", truncated(genuine), 400, "truncated"},
        {"past the size a file may have", padded, 413, ""},
        {"a zip bomb claiming its size", zipBomb(genuine, 48u << 20, 48u << 20), 413, ""},
        {"a zip bomb claiming a small recording", zipBomb(genuine, 1u << 16, 256u << 20), 400,
         "larger than its header says"},
        {"a length past the longest game",
         forged(genuine,
                [](Recording& r, GameStart&) {
                    r.ticks.back() += 4 * 3600 * 1000;
                    r.header.milliseconds += 4 * 3600 * 1000;
                }),
         413, ""},
        {"a star off the field in its first state",
         forged(genuine, [](Recording&, GameStart& s) { s.stars[3].x = 700; }), 400,
         "not a new game"},
        {"no replay at all", std::vector<uint8_t>{'h', 'e', 'l', 'l', 'o'}, 400, ""},
    };
}

}  // namespace quelvane
