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

std::optional<UnpackedReplay> unpackReplay(const std::vector<uint8_t>& bytes) {
    const std::optional<ReplayHeader> header = peekReplayHeader(bytes);
    const size_t sizes = kFixedHeader + (header ? header->name.size() : 0);
    if (!header || bytes.size() < sizes + 12)
        return std::nullopt;
    const uint32_t bodySize = le32(&bytes[sizes]);
    if (bodySize > kLargestBody)
        return std::nullopt;
    std::optional<std::vector<uint8_t>> body =
        inflated(&bytes[sizes + 12], bytes.size() - sizes - 12, bodySize);
    if (!body)
        return std::nullopt;
    return UnpackedReplay{std::vector<uint8_t>(bytes.begin(), bytes.begin() + sizes),
                          std::move(*body)};
}

std::vector<uint8_t> packReplay(const UnpackedReplay& replay) {
    uLongf packedSize = compressBound(replay.body.size());
    std::vector<uint8_t> packed(packedSize);
    if (compress2(packed.data(), &packedSize, replay.body.data(), replay.body.size(), 1) != Z_OK)
        return {};
    packed.resize(packedSize);
    std::vector<uint8_t> bytes = replay.header;
    const auto le = [&bytes](uLong value) {
        for (int i = 0; i < 4; ++i)
            bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
    };
    le(replay.body.size());
    le(packed.size());
    uLong crc = crc32(0, bytes.data(), static_cast<uInt>(bytes.size()));
    le(crc32(crc, replay.body.data(), static_cast<uInt>(replay.body.size())));
    bytes.insert(bytes.end(), packed.begin(), packed.end());
    return bytes;
}

std::vector<uint8_t> withChecksumFixed(std::vector<uint8_t> bytes) {
    const std::optional<UnpackedReplay> replay = unpackReplay(bytes);
    return replay ? packReplay(*replay) : bytes;
}

Verdict playInput(const uint8_t* data, size_t size) {
    VerifyLimits limits;
    limits.maxPasses = kFuzzPasses;
    return verifyReplay(withChecksumFixed(std::vector<uint8_t>(data, data + size)), rulesVersion(),
                        limits);
}

}  // namespace quelvane
