#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "game/replay/GameStart.h"
#include "game/replay/ReplayFile.h"
#include "game/verify/Verifier.h"
#include "support/ForgedRecording.h"

namespace quelvane {
namespace {

// A recording altered and written again by the game's own writer, so that its checksum holds: its
// alterations alone can refuse it, in the reader and in the verifier's checks of a stranger's file.
struct Forgery {
    const char* what;
    std::function<void(Recording&, GameStart&)> alter;
    std::string reason;
    // Bytes of the rewritten first state changed after, for what the writer cannot write.
    std::function<void(std::string&)> patch = nullptr;
    // How the verifier's cheap checks class it, when refused: a forged length is one past the
    // limit, told before the recording is read.
    FileFault fault = FileFault::Damaged;
};

// The forged file's bytes.
std::vector<uint8_t> forge(const Recording& real, const Forgery& forgery) {
    return encodeReplay(forgeRecording(real, forgery.alter, forgery.patch));
}

TEST(ForgedReplayTest, EachForgedFieldIsRefusedWithItsReason) {
    const ReplayRead read = readReplayFile(
        std::filesystem::path(QUELVANE_SOURCE_DIR) / "tests/replay/corpus/replay/high-score.qvr",
        0);
    ASSERT_TRUE(read.recording) << read.error;
    const Recording& real = *read.recording;
    const std::string passes = std::to_string(real.header.passes);
    const std::string ms = std::to_string(real.header.milliseconds);
    using S = GameStart;
    using R = Recording;
    const std::vector<Forgery> forgeries = {
        {"nothing", [](R&, S&) {}, ""},
        {"the score",
         [](R& r, S& s) {
             s.ship.score = 100'000;
             r.header.score = 100'164;
         },
         "not a new game: the score: 100000 where a new game has 0"},
        {"the wave", [](R&, S& s) { s.wave = 100'000; },
         "not a new game: the wave: 100000 where a new game has 0"},
        {"the shields", [](R&, S& s) { s.ship.shields = 31; },
         "not a new game: the shields: 31 where a new game has 30"},
        {"the meter", [](R&, S& s) { s.ship.limitBreakMeter = 17'999; },
         "not a new game: the LimitBreak meter: 17999 where a new game has 0"},
        {"a ready LimitBreak", [](R&, S& s) { s.ship.limitBreakReady = true; },
         "not a new game: a LimitBreak is ready, which is not so in a new game"},
        {"the weapon", [](R&, S& s) { s.ship.weapon = LaserLinkedMissiles; },
         "not a new game: the weapon: 8 where a new game has 0"},
        {"the previous weapon", [](R&, S& s) { s.ship.previousWeapon = WeaponMode{9}; },
         "not a new game: the previous weapon is 9, which is no weapon"},
        {"the ship's place", [](R&, S& s) { s.ship.x = 0; },
         "not a new game: the ship's x: 0 where a new game has 310"},
        {"the ship's field", [](R&, S& s) { s.ship.field.right = 2000; },
         "not a new game: the ship's field, box or LimitBreak bar is not where a new game puts it"},
        {"a star off the field", [](R&, S& s) { s.stars[3].x = 700; },
         "not a new game: star 3 is not one the game places or moves"},
        {"a star of no speed", [](R&, S& s) { s.stars[5].speed = std::nanf(""); },
         "not a new game: star 5 is not one the game places or moves"},
        {"a star too few", [](R&, S& s) { s.stars.pop_back(); },
         "not a new game: 149 stars where the game has 150"},
        {"a star too many", [](R&, S& s) { s.stars.push_back(s.stars.back()); },
         "damaged: its first state holds 151 stars, more than the game does"},
        {"aliens", [](R&, S& s) { s.aliens = 3; },
         "not a new game: it begins with 3 aliens; a new game has none"},
        {"an explosion", [](R&, S& s) { s.explosions = 1; },
         "not a new game: it begins with 1 explosions; a new game has none"},
        {"the volley timer",
         [](R&, S& s) {
             s.volleyTimer = {false, 5};
         },
         "not a new game: the volley timer holds a time before any LimitBreak"},
        {"a message of no kind",
         [](R&, S& s) {
             s.input.queue.push_back({platform::MessageKind::KeyUp, 'G'});
         },
         "damaged: its first state has a waiting message of no kind the game is handed",
         [](std::string& snapshot) { snapshot[snapshot.size() - 2] = 9; }},
        {"the passes", [](R& r, S&) { ++r.header.passes; },
         "implausible: it counts " + std::to_string(real.header.passes + 1) + " passes but timed " +
             passes},
        {"the length", [](R& r, S&) { ++r.header.milliseconds; },
         "implausible: it says it lasted " + std::to_string(real.header.milliseconds + 1) +
             " ms, but its ticks span " + ms},
        {"a tick back", [](R& r, S&) { r.ticks[r.ticks.size() / 2] -= 1000; },
         "implausible: its tick counts do not run as a clock does"},
        {"a score below 0", [](R& r, S&) { r.header.score = -1; },
         "implausible: its score -1 is beyond any the game keeps"},
        {"a long name", [](R& r, S&) { r.header.name = std::string(34, 'x'); },
         "implausible: its name is longer than the game lets a name be, or holds a character no "
         "key types"},
        {"a bell in the name", [](R& r, S&) { r.header.name = "Bo\x07"; },
         "implausible: its name is longer than the game lets a name be, or holds a character no "
         "key types"},
        {"a frozen clock",
         [](R& r, S&) {
             r.ticks.assign(r.ticks.size(), r.ticks.front());
             r.passTicks.assign(r.passTicks.size(), r.passTicks.front());
             r.header.milliseconds = 0;
         },
         "implausible: its " + passes + " passes do not fit in the 0 ms they took"},
        {"over four hours",
         [](R& r, S&) {
             r.ticks.back() += 4 * 3600 * 1000;
             r.header.milliseconds += 4 * 3600 * 1000;
         },
         "implausible: it lasts longer than the four hours a replay may", nullptr,
         FileFault::TooLarge},
        {"a key of code 0 let go",
         [](R& r, S&) {
             r.messages.push_back({r.pumps - 1, {platform::MessageKind::KeyUp, 0}});
         },
         "damaged: the recording's content is broken"},
        {"a key typing a bell",
         [](R& r, S&) {
             r.messages.push_back({r.pumps - 1, {platform::MessageKind::KeyDown, 'G'}});
             r.messages.back().message.typed = 7;
         },
         "damaged: the recording's content is broken"},
        {"a read of the scores for every key and more",
         [](R& r, S&) { r.scoreReads.resize(r.messages.size() + kMaxWaitingMessages + 2); },
         "damaged: the recording's content is broken"},
        {"its controls", [](R& r, S&) { r.controls += "\n"; },
         "implausible: its controls are not as the game writes them"},
        {"a taped mouse move",
         [](R& r, S&) {
             r.messages.push_back({r.pumps - 1, {platform::MessageKind::MouseMove}});
         },
         "damaged: the recording's content is broken"},
    };
    for (const Forgery& forgery : forgeries) {
        const std::vector<uint8_t> bytes = forge(real, forgery);
        const ReplayRead read = decodeReplay(bytes, 0);
        EXPECT_EQ(read.recording ? "" : read.error, forgery.reason) << forgery.what;
        const FileCheck check = checkReplayFile(bytes, real.header.rulesVersion, {});
        EXPECT_EQ(check.fault, forgery.reason.empty() ? FileFault::None : forgery.fault)
            << forgery.what;
        if (check.fault == FileFault::Damaged) {
            EXPECT_EQ(check.reason, forgery.reason) << forgery.what;
        }
    }
}

}  // namespace
}  // namespace quelvane
