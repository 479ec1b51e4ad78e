#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "game/verify/Verifier.h"

namespace quelvane {

// A replay file with its CRC-32 made right for what it holds, as whoever forges a file makes it:
// so a fuzzer's changes reach what lies behind the checksum. A file whose header or recording
// cannot be read far enough to sum is left as it is.
std::vector<uint8_t> withChecksumFixed(std::vector<uint8_t> bytes);

// A replay file taken apart: its header as it stands, and its recording inflated. None for a file
// whose header or recording cannot be read far enough.
struct UnpackedReplay {
    std::vector<uint8_t> header;
    std::vector<uint8_t> body;
};
std::optional<UnpackedReplay> unpackReplay(const std::vector<uint8_t>& bytes);
// Puts it together again, its sizes and its checksum made right for what it holds.
std::vector<uint8_t> packReplay(const UnpackedReplay& replay);

// What the play fuzz target does with an input, and the corpus test with each of its files: the
// file with its checksum fixed, verified for at most kFuzzPasses passes.
inline constexpr uint32_t kFuzzPasses = 1000;
Verdict playInput(const uint8_t* data, size_t size);

}  // namespace quelvane
