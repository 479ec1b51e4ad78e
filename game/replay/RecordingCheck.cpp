#include "game/replay/RecordingCheck.h"

#include <cstdint>
#include <limits>
#include <optional>
#include <vector>

#include "game/replay/GameSnapshot.h"
#include "game/scores/HighScores.h"
#include "platform/Controls.h"
#include "platform/ControlsReader.h"

namespace quelvane {

namespace {

// A tick count's step from one read to the next: a clock moves on, modulo its wrap, and never by
// half its range at once, which a step back would look like.
constexpr uint32_t kLongestStep = 1u << 31;

// The time from the first tick count to the last, as a clock would have run it; none when a step
// goes back or the whole time does not fit the 32-bit clock.
std::optional<uint32_t> clockSpan(const std::vector<uint32_t>& ticks) {
    uint64_t span = 0;
    for (size_t i = 1; i < ticks.size(); ++i) {
        const uint32_t step = ticks[i] - ticks[i - 1];
        if (step >= kLongestStep)
            return std::nullopt;
        span += step;
    }
    if (span > std::numeric_limits<uint32_t>::max())
        return std::nullopt;
    return static_cast<uint32_t>(span);
}

std::string checkHeader(const Recording& r) {
    const ReplayHeader& h = r.header;
    if (h.passes == 0)
        return "the game has no pass";
    if (h.passes != r.passTicks.size())
        return "it counts " + std::to_string(h.passes) + " passes but timed " +
               std::to_string(r.passTicks.size());
    const std::optional<uint32_t> span = clockSpan(r.ticks);
    if (!span || !clockSpan(r.passTicks))
        return "its tick counts do not run as a clock does";
    if (*span != h.milliseconds)
        return "it says it lasted " + std::to_string(h.milliseconds) + " ms, but its ticks span " +
               std::to_string(*span);
    if (h.score < 0 || h.score > std::numeric_limits<int32_t>::max())
        return "its score " + std::to_string(h.score) + " is beyond any the game keeps";
    if (h.name.size() > highScoreNamePrompt().maxLength || h.name.find('\0') != std::string::npos)
        return "its name is longer than the game lets a name be, or holds a null";
    return {};
}

}  // namespace

std::string checkRecording(const Recording& recording) {
    if (std::string header = checkHeader(recording); !header.empty())
        return "implausible: " + header;
    std::vector<std::string> problems;
    const platform::Controls controls =
        platform::parseControls(recording.controls, "controls", problems);
    if (controls.text() != recording.controls)
        return "implausible: its controls are not as the game writes them";
    return checkSnapshot(recording.snapshot);
}

}  // namespace quelvane
