#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "game/replay/Recording.h"

namespace quelvane {

// What a replay sent by a stranger may take: the file, the recording it inflates to, and the game
// it claims. Everything past these is refused before it is read further.
struct VerifyLimits {
    size_t maxFileBytes = 4u << 20;
    uint32_t maxRecordingBytes = 16u << 20;
    uint32_t longestGameMs = 4 * 3600 * 1000;
    // The passes played at most, for a fuzzer's bounded runs: a game stopped by it is refused.
    uint32_t maxPasses = UINT32_MAX;
};

// Why a file is refused without playing it, for the answer a service gives.
enum class FileFault { None, TooLarge, NotAReplay, OtherRules, Damaged };

struct FileCheck {
    FileFault fault = FileFault::None;
    std::string reason;                  // empty when fault is None
    std::optional<Recording> recording;  // the file read and checked, when fault is None
};

// The cheap checks: size, magic, format, rules version, checksum, and every field of the header,
// the first state and the recording against what the game can produce. Nothing is played.
FileCheck checkReplayFile(const std::vector<uint8_t>& bytes, uint64_t rules,
                          const VerifyLimits& limits);

// What playing a replay again found.
struct Verdict {
    bool verified = false;
    std::string reason;  // why it is refused; empty when verified
    // The name it entered the table with; for a game that took no place, the name its file gives.
    std::string name;
    int64_t recordedScore = 0;
    int64_t simulatedScore = 0;
    uint32_t lengthMs = 0;
    uint32_t passes = 0;
    // SHA-256, in hex, of the traced frames of play: the same game however it was renamed, padded
    // or sent again.
    std::string playDigest;
    // The game could not be started here to play it (no scratch folder, no game): no fault of the
    // file, which is to be verified again.
    bool unplayed = false;
};

// Checks the file, then plays its game again headless to its end. The game's state is the
// process's own: one verification at a time in a process, which a service gives to a child of its
// own under resource limits. The game plays in a scratch folder of its own with SDL's dummy
// drivers, and takes its pictures and sounds from the asset folder (setAssetFolder), which is to
// be an absolute path. It leaves the game ended, the platform's seams as they were and the
// working directory where it was.
Verdict verifyReplay(const std::vector<uint8_t>& bytes, uint64_t rules, const VerifyLimits& limits);

// The CPU seconds a verification of a game of lengthMs may take before it is stopped.
uint32_t cpuBudgetSeconds(uint32_t lengthMs);

// A verdict as name=value lines, the way a child hands it to its parent, and read back; none for
// text that is not a whole verdict. The names: verified and unplayed (0 or 1), reason, name,
// recorded_score, simulated_score, length_ms, passes and digest.
std::string formatVerdict(const Verdict& verdict);
std::optional<Verdict> parseVerdict(const std::string& text);

}  // namespace quelvane
