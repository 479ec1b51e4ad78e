#include "game/replay/RecordingCheck.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <optional>
#include <vector>

#include "game/replay/GameSnapshot.h"
#include "game/scores/HighScores.h"
#include "game/screens/Pass.h"
#include "platform/Controls.h"
#include "platform/ControlsReader.h"
#include "platform/Message.h"

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
    const std::optional<uint32_t> passSpan = clockSpan(r.passTicks);
    if (!span || !passSpan)
        return "its tick counts do not run as a clock does";
    if (*span != h.milliseconds)
        return "it says it lasted " + std::to_string(h.milliseconds) + " ms, but its ticks span " +
               std::to_string(*span);
    if (h.milliseconds > kLongestGame || h.passes > mostPasses(kLongestGame))
        return "it lasts longer than the four hours a replay may";
    if (h.passes > mostPasses(*passSpan))
        return "its " + std::to_string(h.passes) + " passes do not fit in the " +
               std::to_string(*passSpan) + " ms they took";
    if (h.score < 0 || h.score > std::numeric_limits<int32_t>::max())
        return "its score " + std::to_string(h.score) + " is beyond any the game keeps";
    if (!typableName(h.name))
        return "its name is longer than the game lets a name be, or holds a character no key types";
    return {};
}

}  // namespace

bool typableName(const std::string& name) {
    return name.size() <= highScoreNamePrompt().maxLength &&
           std::all_of(name.begin(), name.end(),
                       [](char c) { return platform::typable(static_cast<unsigned char>(c)); });
}

// Every pass the game runs in a recording sleeps to the frame period but the one that leaves the
// game-over screen, and the span of the passes' ticks leaves out the first pass: so a recorded
// game has at most two passes more than its span allows. An eighth more, and some, spares a clock
// that ran oddly, and still bounds a forged file's passes by the time it claims.
uint64_t mostPasses(uint32_t passSpan) {
    const uint64_t paced = passSpan / kFramePeriod;
    return paced + paced / 8 + 16;
}

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
