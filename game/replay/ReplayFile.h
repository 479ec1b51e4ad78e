#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "game/replay/Recording.h"

namespace quelvane {

// A replay file: a header that can be read without the rest (magic, format version, rules version,
// date, length, score and name), then the recording itself compressed with zlib, and a CRC-32 over
// the header and the uncompressed recording.
inline constexpr uint16_t kReplayFormatVersion = 2;

// Larger recordings are refused unread: some 15 hours of play, and a bound on what a damaged or
// hostile file can make the reader take.
inline constexpr uint32_t kMaxRecordingBytes = 64u << 20;

std::vector<uint8_t> encodeReplay(const Recording& recording);

// The kind of file a refused read found, for a reader that answers each kind otherwise: not a
// replay of this format at all, one of other rules, one larger than it may be, or one damaged or
// forged.
enum class ReplayFault { None, NotAReplay, OtherRules, TooLarge, Damaged };

// What a read found: the recording, or why the file cannot be played.
struct ReplayRead {
    std::optional<Recording> recording;
    std::string error;  // "not a Quelvane replay", "truncated", ...
    ReplayFault fault = ReplayFault::None;
};

// Decodes a file's bytes; a file of another format or rules version, a damaged, truncated or
// foreign one is refused with its reason. expectedRules 0 takes any rules version. A recording
// larger than maxRecordingBytes is refused before it is inflated.
ReplayRead decodeReplay(const std::vector<uint8_t>& bytes, uint64_t expectedRules,
                        uint32_t maxRecordingBytes = kMaxRecordingBytes);

// Reads the header alone, for listings; none for a file that is not a replay of this format.
std::optional<ReplayHeader> peekReplayHeader(const std::vector<uint8_t>& bytes);

// Reads a file's bytes, at most maxBytes of them; none, with the reason (not naming the file), when
// it cannot be read or is larger.
std::optional<std::vector<uint8_t>> readReplayBytes(const std::filesystem::path& file,
                                                    uint64_t maxBytes, ReplayRead& refusal);

// Reads and decodes a file; the error names the reason, not the file.
ReplayRead readReplayFile(const std::filesystem::path& file, uint64_t expectedRules);

// Writes the file with the project's atomic writer, so a crash or a kill leaves the old file or the
// new one. False with the reason.
bool writeReplayFile(const std::filesystem::path& file, const Recording& recording,
                     std::string* reason = nullptr);

}  // namespace quelvane
