#include "tests/replay/fuzz/PlayInput.h"

#include <zlib.h>

#include <optional>

#include "game/replay/ReplayFile.h"
#include "game/replay/RulesVersion.h"

namespace quelvane {

namespace {

// The header's fixed fields before the name: magic, format, rules, date, passes, length, score and
// the name's size.
constexpr size_t kFixedHeader = 8 + 2 + 8 + 8 + 4 + 4 + 8 + 1;
// A fuzzer's inputs are small; a body claiming more is not summed.
constexpr uint32_t kLargestBody = 4u << 20;

uint32_t le32(const uint8_t* at) {
    return at[0] | at[1] << 8 | at[2] << 16 | static_cast<uint32_t>(at[3]) << 24;
}

// The body that the packed bytes inflate to, of exactly `size` bytes; none when they do not.
std::optional<std::vector<uint8_t>> inflated(const uint8_t* packed, size_t packedSize,
                                             uint32_t size) {
    std::vector<uint8_t> body(size);
    uLongf bodySize = size;
    uLong used = packedSize;
    if (uncompress2(body.data(), &bodySize, packed, &used) != Z_OK || bodySize != size)
        return std::nullopt;
    return body;
}

}  // namespace

std::vector<uint8_t> withChecksumFixed(std::vector<uint8_t> bytes) {
    const std::optional<ReplayHeader> header = peekReplayHeader(bytes);
    const size_t sizes = kFixedHeader + (header ? header->name.size() : 0);
    if (!header || bytes.size() < sizes + 12)
        return bytes;
    const uint32_t bodySize = le32(&bytes[sizes]);
    if (bodySize > kLargestBody)
        return bytes;
    const std::optional<std::vector<uint8_t>> body =
        inflated(&bytes[sizes + 12], bytes.size() - sizes - 12, bodySize);
    if (!body)
        return bytes;
    uLong crc = crc32(0, bytes.data(), static_cast<uInt>(sizes + 8));
    crc = crc32(crc, body->data(), static_cast<uInt>(body->size()));
    for (int i = 0; i < 4; ++i)
        bytes[sizes + 8 + i] = static_cast<uint8_t>(crc >> (8 * i));
    return bytes;
}

Verdict playInput(const uint8_t* data, size_t size) {
    VerifyLimits limits;
    limits.maxPasses = kFuzzPasses;
    return verifyReplay(withChecksumFixed(std::vector<uint8_t>(data, data + size)), rulesVersion(),
                        limits);
}

}  // namespace quelvane
