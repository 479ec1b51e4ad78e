#include "game/verify/Verifier.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <utility>

#include "game/core/ExitRequest.h"
#include "game/loop/Entry.h"
#include "game/loop/MainLoop.h"
#include "game/player/Ship.h"
#include "game/replay/Playback.h"
#include "game/replay/RecordingCheck.h"
#include "game/replay/ReplayFile.h"
#include "game/replay/ScratchFolder.h"
#include "game/screens/Pass.h"
#include "game/screens/Screen.h"
#include "game/verify/PlayDigest.h"
#include "platform/Platform.h"

namespace quelvane {

namespace {

FileCheck refused(FileFault fault, std::string reason) {
    FileCheck check;
    check.fault = fault;
    check.reason = std::move(reason);
    return check;
}

FileFault faultOf(ReplayFault fault) {
    switch (fault) {
        case ReplayFault::None:
            return FileFault::None;
        case ReplayFault::NotAReplay:
            return FileFault::NotAReplay;
        case ReplayFault::OtherRules:
            return FileFault::OtherRules;
        case ReplayFault::TooLarge:
            return FileFault::TooLarge;
        case ReplayFault::Damaged:
            break;
    }
    return FileFault::Damaged;
}

std::string hex(uint64_t v) {
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(v));
    return text;
}

std::string minutes(uint32_t ms) {
    return std::to_string((static_cast<uint64_t>(ms) + 59'999) / 60'000) + " minutes";
}

// What the header alone shows: the rules it was played by and a length past the limit, refused
// before a byte of the recording is inflated. None when it holds, or when there is no header to
// read (the decoder says why).
std::optional<FileCheck> checkHeader(const std::vector<uint8_t>& bytes, uint64_t rules,
                                     const VerifyLimits& limits) {
    const std::optional<ReplayHeader> header = peekReplayHeader(bytes);
    if (!header)
        return std::nullopt;
    if (rules != 0 && header->rulesVersion != rules)
        return refused(FileFault::OtherRules, "recorded under rules " + hex(header->rulesVersion) +
                                                  "; this server verifies rules " + hex(rules));
    if (header->milliseconds > limits.longestGameMs)
        return refused(FileFault::TooLarge, "it claims a game of " + minutes(header->milliseconds) +
                                                ", longer than the " +
                                                minutes(limits.longestGameMs) + " a replay may be");
    if (header->passes > mostPasses(limits.longestGameMs))
        return refused(FileFault::TooLarge, "it claims " + std::to_string(header->passes) +
                                                " passes, more than a game of " +
                                                minutes(limits.longestGameMs) + " has");
    return std::nullopt;
}

// The game as a recording played it again.
struct Replayed {
    std::optional<GameResult> result;
    int64_t score = 0;  // the ship's at the end, for a game that did not reach its table
    bool diverged = false;
    uint32_t passes = 0;
    std::string digest;
};

// Plays a recording, begun already, for its passes, at most `most` of them, counting them and
// hashing those of play.
void replay(const Playback& playback, uint32_t most, Replayed& out) {
    PlayDigest digest;
    exitRequested = most == 0;
    // A pass past the last is the game unwinding to its end, which the recording left out.
    const platform::Subscription passes = passEnds().subscribe([&] {
        if (out.passes >= most)
            return;
        ++out.passes;
        if (currentScreen == Screen::Play)
            digest.add(traceState(out.passes, currentScreen, 0));
        if (out.passes >= most)
            exitRequested = true;
    });
    runMainLoop();
    out.result = playback.result();
    out.score = player.getScore();
    out.diverged = playback.diverged();
    out.digest = digest.finish();
}

// Opens the game headless in a scratch folder, plays the recording and leaves nothing behind:
// the game ended, the seams and the keys given back, the working directory where it was.
void playHeadless(const Recording& recording, uint32_t most, Replayed& out, Verdict& verdict) {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    const ScratchFolder folder;
    if (!folder.entered() || !openGame(0, AudioSystem::Output::Offline)) {
        verdict.unplayed = true;
        verdict.reason = "the game could not be started to play it";
        return;
    }
    {
        Playback playback(recording);
        if (playback.begin())
            replay(playback, most, out);
        else
            verdict.reason = kCannotBegin;
        // The seams are given back once the game has ended.
        endGame();
    }
    platform::resetInput();
    exitRequested = false;
}

std::string quoted(const std::string& name) {
    return name.empty() ? "no name" : "the name \"" + name + "\"";
}

// Why the game played again is not the one its header claims; empty when it is.
std::string judge(const ReplayHeader& header, const Replayed& game, uint32_t most) {
    if (game.diverged)
        return "the game asks for more than its recording holds: it plays otherwise";
    if (game.passes < header.passes) {
        if (game.passes == most)
            return "it was stopped after " + std::to_string(most) + " passes";
        return "the game ends after " + std::to_string(game.passes) + " of its " +
               std::to_string(header.passes) + " passes";
    }
    const int64_t score = game.result ? game.result->score : game.score;
    if (score != header.score)
        return "the replay plays to " + std::to_string(score) + ", not " +
               std::to_string(header.score);
    // A game that took no place in its player's table goes by the name its player gave the world
    // table, which no key of the game types; one that took a place, by the name typed for it.
    if (game.result && game.result->name && *game.result->name != header.name)
        return "the replayed game enters " + quoted(*game.result->name) + " in the table, not " +
               quoted(header.name);
    return {};
}

}  // namespace

FileCheck checkReplayFile(const std::vector<uint8_t>& bytes, uint64_t rules,
                          const VerifyLimits& limits) {
    if (bytes.size() > limits.maxFileBytes)
        return refused(FileFault::TooLarge,
                       "the file holds " + std::to_string(bytes.size()) + " bytes, more than the " +
                           std::to_string(limits.maxFileBytes) + " a replay may");
    if (std::optional<FileCheck> header = checkHeader(bytes, rules, limits))
        return std::move(*header);
    ReplayRead read = decodeReplay(bytes, rules, limits.maxRecordingBytes);
    if (!read.recording)
        return refused(faultOf(read.fault), std::move(read.error));
    FileCheck check;
    check.recording = std::move(read.recording);
    return check;
}

Verdict verifyReplay(const std::vector<uint8_t>& bytes, uint64_t rules,
                     const VerifyLimits& limits) {
    Verdict verdict;
    FileCheck check = checkReplayFile(bytes, rules, limits);
    if (check.fault != FileFault::None) {
        verdict.reason = std::move(check.reason);
        return verdict;
    }
    const ReplayHeader& header = check.recording->header;
    verdict.recordedScore = header.score;
    verdict.lengthMs = header.milliseconds;
    const uint32_t most = std::min(header.passes, limits.maxPasses);
    Replayed game;
    playHeadless(*check.recording, most, game, verdict);
    if (!verdict.reason.empty())
        return verdict;
    verdict.simulatedScore = game.result ? game.result->score : game.score;
    verdict.name = game.result && game.result->name ? *game.result->name : header.name;
    verdict.passes = game.passes;
    verdict.playDigest = std::move(game.digest);
    verdict.reason = judge(header, game, most);
    if (verdict.reason.empty() && verdict.playDigest.empty())
        verdict.reason = "its play could not be hashed";
    verdict.verified = verdict.reason.empty();
    return verdict;
}

uint32_t cpuBudgetSeconds(uint32_t lengthMs) {
    // The game plays again at 60 to 80 times its own pace on one core; a twentieth of its length
    // spares a machine three times slower, and a few seconds its start.
    constexpr uint32_t kStartSeconds = 5;
    constexpr uint32_t kPace = 20;
    return kStartSeconds +
           static_cast<uint32_t>((static_cast<uint64_t>(lengthMs) / kPace + 999) / 1000);
}

namespace {

constexpr const char* kVerdictNames[] = {"verified",       "reason",          "name",
                                         "recorded_score", "simulated_score", "length_ms",
                                         "passes",         "digest",          "unplayed"};

template <class Number>
bool number(const std::string& text, Number& out) {
    const char* end = text.data() + text.size();
    const auto [at, error] = std::from_chars(text.data(), end, out);
    return error == std::errc{} && at == end && !text.empty();
}

bool flag(const std::string& text, bool& out) {
    out = text == "1";
    return text == "0" || text == "1";
}

bool hexDigest(const std::string& text) {
    return (text.empty() || text.size() == 64) && std::all_of(text.begin(), text.end(), [](char c) {
               return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
           });
}

// The lines of a verdict's text by name; none when a line is not name=value, a name is unknown
// or said twice, or the text does not end with a whole line.
std::optional<std::map<std::string, std::string>> verdictLines(const std::string& text) {
    std::map<std::string, std::string> lines;
    size_t at = 0;
    while (at < text.size()) {
        const size_t end = text.find('\n', at);
        const size_t equals = text.find('=', at);
        if (end == std::string::npos || equals == std::string::npos || equals > end)
            return std::nullopt;
        std::string name = text.substr(at, equals - at);
        if (std::find(std::begin(kVerdictNames), std::end(kVerdictNames), name) ==
                std::end(kVerdictNames) ||
            !lines.emplace(std::move(name), text.substr(equals + 1, end - equals - 1)).second)
            return std::nullopt;
        at = end + 1;
    }
    if (lines.size() != std::size(kVerdictNames))
        return std::nullopt;
    return lines;
}

}  // namespace

std::string formatVerdict(const Verdict& verdict) {
    const std::string values[] = {verdict.verified ? "1" : "0",
                                  verdict.reason,
                                  verdict.name,
                                  std::to_string(verdict.recordedScore),
                                  std::to_string(verdict.simulatedScore),
                                  std::to_string(verdict.lengthMs),
                                  std::to_string(verdict.passes),
                                  verdict.playDigest,
                                  verdict.unplayed ? "1" : "0"};
    std::string text;
    for (size_t i = 0; i < std::size(kVerdictNames); ++i) {
        std::string value = values[i];
        // A line each: a reason is one sentence, and a name what the prompt types.
        std::replace(value.begin(), value.end(), '\n', ' ');
        text += std::string(kVerdictNames[i]) + "=" + value + "\n";
    }
    return text;
}

std::optional<Verdict> parseVerdict(const std::string& text) {
    auto lines = verdictLines(text);
    if (!lines)
        return std::nullopt;
    auto& l = *lines;
    Verdict v;
    v.reason = l["reason"];
    v.name = l["name"];
    v.playDigest = l["digest"];
    if (!flag(l["verified"], v.verified) || !flag(l["unplayed"], v.unplayed) ||
        !number(l["recorded_score"], v.recordedScore) ||
        !number(l["simulated_score"], v.simulatedScore) || !number(l["length_ms"], v.lengthMs) ||
        !number(l["passes"], v.passes) || !hexDigest(v.playDigest))
        return std::nullopt;
    // A verified game has a digest and no reason; a refused one has its reason.
    if (v.verified ? !v.reason.empty() || v.playDigest.empty() || v.unplayed : v.reason.empty())
        return std::nullopt;
    return v;
}

}  // namespace quelvane
