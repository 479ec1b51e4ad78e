#include "game/verify/Verifier.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "game/replay/ReplayFile.h"
#include "game/replay/RulesVersion.h"
#include "game/world/Assets.h"
#include "platform/WholeFile.h"

namespace quelvane {
namespace {

namespace fs = std::filesystem;

// The golden keys' two games as the game recorded them: one that enters the table as "Golden"
// with 211, one quit in play after a score page.
const fs::path kGames = fs::path(QUELVANE_SOURCE_DIR) / "tests/replay/corpus/replay";

std::vector<uint8_t> game(const char* name) {
    return platform::readWholeFile(kGames / name, 1u << 20).bytes;
}

Recording recordingOf(const std::vector<uint8_t>& bytes) {
    ReplayRead read = decodeReplay(bytes, 0);
    EXPECT_TRUE(read.recording) << read.error;
    return read.recording ? std::move(*read.recording) : Recording{};
}

// A genuine game altered and written again by the game's own writer, so its checksum holds.
std::vector<uint8_t> altered(const char* name, const std::function<void(Recording&)>& alter) {
    Recording recording = recordingOf(game(name));
    alter(recording);
    return encodeReplay(recording);
}

class VerifierTest : public testing::Test {
  protected:
    void SetUp() override { setAssetFolder(QUELVANE_RUN_DIR); }
    void TearDown() override { setAssetFolder({}); }

    static Verdict verify(const std::vector<uint8_t>& bytes, VerifyLimits limits = {}) {
        return verifyReplay(bytes, rulesVersion(), limits);
    }
    // The game that enters the table, verified once for every test that compares with it.
    static const Verdict& highScore() {
        static const Verdict verdict = verify(game("high-score.qvr"));
        return verdict;
    }
};

// Both games play again to their recorded scores and names, as often as they are verified in one
// process and to the same digest each time, and leave the working directory where it was; the
// verdict comes back whole through its text.
TEST_F(VerifierTest, GenuineGamesVerifyWithTheirScoresAgainAndAgain) {
    const fs::path before = fs::current_path();
    const Verdict quit = verify(game("quit-in-play.qvr"));
    const Verdict& first = highScore();
    const Verdict again = verify(game("quit-in-play.qvr"));
    EXPECT_EQ(fs::current_path(), before);

    EXPECT_TRUE(quit.verified) << quit.reason;
    EXPECT_EQ(quit.name, "");
    EXPECT_EQ(again.playDigest, quit.playDigest);
    ASSERT_TRUE(first.verified) << first.reason;
    EXPECT_EQ(first.reason, "");
    EXPECT_EQ(first.name, "Golden");
    EXPECT_EQ(first.recordedScore, 211);
    EXPECT_EQ(first.simulatedScore, 211);
    const ReplayHeader header = *peekReplayHeader(game("high-score.qvr"));
    EXPECT_EQ(first.passes, header.passes);
    EXPECT_EQ(first.lengthMs, header.milliseconds);
    EXPECT_EQ(first.playDigest.size(), 64u);
    EXPECT_NE(quit.playDigest, first.playDigest);

    const std::optional<Verdict> read = parseVerdict(formatVerdict(first));
    ASSERT_TRUE(read);
    EXPECT_EQ(formatVerdict(*read), formatVerdict(first));
}

// The same game renamed at the name prompt, or with a key that does nothing pressed in play, is
// the same game: another name, the same digest.
TEST_F(VerifierTest, ARenamedOrPaddedCopyHasTheOriginalsDigest) {
    const Verdict& original = highScore();
    const Verdict renamed = verify(altered("high-score.qvr", [](Recording& r) {
        // "Golden" is typed G, O, L, D, E, N; "Garden" differs in two keys.
        for (auto t = r.messages.rbegin(); t != r.messages.rend(); ++t) {
            int& key = t->message.key;
            if (t->message.kind == platform::MessageKind::KeyDown && (key == 'O' || key == 'L'))
                key = key == 'O' ? 'A' : 'R';
        }
        r.header.name = "Garden";
    }));
    const Verdict padded = verify(altered("high-score.qvr", [](Recording& r) {
        // The game drains its messages one pump each: two more, two more pumps after them.
        const uint32_t pump = r.pumps / 3;
        const auto at = std::find_if(r.messages.begin(), r.messages.end(),
                                     [pump](const TapedMessage& t) { return t.pump > pump; });
        for (auto later = at; later != r.messages.end(); ++later)
            later->pump += 2;
        r.pumps += 2;
        r.messages.insert(at, {{pump, {platform::MessageKind::KeyDown, 'K'}},
                               {pump, {platform::MessageKind::KeyUp, 'K'}}});
    }));
    ASSERT_TRUE(original.verified) << original.reason;
    EXPECT_TRUE(renamed.verified) << renamed.reason;
    EXPECT_EQ(renamed.name, "Garden");
    EXPECT_TRUE(padded.verified) << padded.reason;
    EXPECT_EQ(renamed.playDigest, original.playDigest);
    EXPECT_EQ(padded.playDigest, original.playDigest);
}

// A game that took no place in the table goes by any name its file gives; one that took a place,
// only by the name typed for it.
TEST_F(VerifierTest, OnlyAGameWithoutAPlaceGoesByTheNameItsFileGives) {
    const Verdict named =
        verify(altered("quit-in-play.qvr", [](Recording& r) { r.header.name = "Zoe"; }));
    EXPECT_TRUE(named.verified) << named.reason;
    EXPECT_EQ(named.name, "Zoe");
    const Verdict claimed =
        verify(altered("high-score.qvr", [](Recording& r) { r.header.name = "Garden"; }));
    EXPECT_FALSE(claimed.verified);
    EXPECT_EQ(claimed.reason,
              "the replayed game enters the name \"Golden\" in the table, not the name \"Garden\"");
}

// Forged games whose files are sound are played, and refused for what the play shows.
TEST_F(VerifierTest, AForgedGameIsRefusedForWhatItPlaysTo) {
    const Verdict raised =
        verify(altered("high-score.qvr", [](Recording& r) { r.header.score = 5000; }));
    EXPECT_FALSE(raised.verified);
    EXPECT_EQ(raised.reason, "the replay plays to 211, not 5000");
    EXPECT_EQ(raised.simulatedScore, 211);

    // The ship holds still: it scores nothing.
    const Verdict idle = verify(altered("high-score.qvr", [](Recording& r) {
        std::erase_if(r.messages, [](const TapedMessage& t) {
            return t.message.key != 'G' && t.message.kind != platform::MessageKind::Close;
        });
    }));
    EXPECT_FALSE(idle.verified);
    EXPECT_EQ(idle.reason, "the replay plays to 0, not 211");

    VerifyLimits bounded;
    bounded.maxPasses = 50;
    const Verdict stopped = verify(game("high-score.qvr"), bounded);
    EXPECT_FALSE(stopped.verified);
    EXPECT_EQ(stopped.reason, "it was stopped after 50 passes");
    EXPECT_EQ(stopped.passes, 50u);
}

// 64 MiB of zeros, deflated to some 64 KiB.
const std::vector<uint8_t>& packedZeros() {
    static const std::vector<uint8_t> packed = [] {
        const std::vector<uint8_t> zeros(64u << 20);
        uLongf size = compressBound(zeros.size());
        std::vector<uint8_t> out(size);
        compress2(out.data(), &size, zeros.data(), zeros.size(), Z_BEST_SPEED);
        out.resize(size);
        return out;
    }();
    return packed;
}

// A genuine header, then a body of 64 MiB of zeros that the sizes say inflates to `claimed`.
std::vector<uint8_t> bomb(uint32_t claimed) {
    std::vector<uint8_t> bytes = game("quit-in-play.qvr");
    const size_t sizes = 43 + peekReplayHeader(bytes)->name.size();
    bytes.resize(sizes);
    const std::vector<uint8_t>& packed = packedZeros();
    for (int i = 0; i < 4; ++i)
        bytes.push_back(static_cast<uint8_t>(claimed >> (8 * i)));
    for (int i = 0; i < 4; ++i)
        bytes.push_back(static_cast<uint8_t>(packed.size() >> (8 * i)));
    bytes.insert(bytes.end(), 4, 0);
    bytes.insert(bytes.end(), packed.begin(), packed.end());
    return bytes;
}

std::string hex(uint64_t v) {
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(v));
    return text;
}

// Files refused by the cheap checks, each of its kind and with its reason, and not played.
TEST_F(VerifierTest, FilesThatCannotBeAGameAreRefusedUnplayedByKind) {
    const uint64_t rules = rulesVersion();
    std::vector<uint8_t> truncated = game("high-score.qvr");
    truncated.resize(truncated.size() - 10);
    std::vector<uint8_t> large = game("quit-in-play.qvr");
    large.resize((4u << 20) + 1);
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
        FileFault fault;
        std::string reason;
    };
    const std::vector<Case> cases = {
        {"a genuine game", game("quit-in-play.qvr"), FileFault::None, ""},
        {"text", {'h', 'e', 'l', 'l', 'o'}, FileFault::NotAReplay, "not a Quelvane replay"},
        {"other rules",
         altered("quit-in-play.qvr", [](Recording& r) { r.header.rulesVersion = 7; }),
         FileFault::OtherRules,
         "recorded under rules 0000000000000007; this server verifies rules " + hex(rules)},
        {"truncated", truncated, FileFault::Damaged, "truncated"},
        {"a file past 4 MiB", large, FileFault::TooLarge,
         "the file holds 4194305 bytes, more than the 4194304 a replay may"},
        {"a zip bomb", bomb(64u << 20), FileFault::TooLarge,
         "claims 67108864 bytes of recording, more than 16777216 a replay may hold"},
        {"a zip bomb claiming less", bomb(1000), FileFault::Damaged,
         "damaged: the recording is larger than its header says"},
        {"five hours",
         altered("quit-in-play.qvr", [](Recording& r) { r.header.milliseconds = 5 * 3600 * 1000; }),
         FileFault::TooLarge,
         "it claims a game of 300 minutes, longer than the 240 minutes a "
         "replay may be"},
        {"a million passes",
         altered("quit-in-play.qvr", [](Recording& r) { r.header.passes = 2'000'000; }),
         FileFault::TooLarge, "it claims 2000000 passes, more than a game of 240 minutes has"},
    };
    for (const Case& c : cases) {
        const FileCheck check = checkReplayFile(c.bytes, rules, {});
        EXPECT_EQ(check.fault, c.fault) << c.what;
        EXPECT_EQ(check.reason, c.reason) << c.what;
        EXPECT_EQ(check.recording.has_value(), c.fault == FileFault::None) << c.what;
        if (c.fault != FileFault::None) {
            const Verdict verdict = verify(c.bytes);
            EXPECT_FALSE(verdict.verified) << c.what;
            EXPECT_EQ(verdict.reason, c.reason) << c.what;
            EXPECT_EQ(verdict.passes, 0u) << c.what;
        }
    }
}

// A verdict's text is read back only whole and well formed: what a child that died half way
// through writing it leaves is no verdict.
TEST(VerdictTextTest, OnlyAWholeWellFormedVerdictIsRead) {
    Verdict verdict;
    verdict.verified = true;
    verdict.name = "Zoe = Q";
    verdict.recordedScore = verdict.simulatedScore = 12345;
    verdict.lengthMs = 600'000;
    verdict.passes = 40'000;
    verdict.playDigest = std::string(64, 'a');
    const std::string text = formatVerdict(verdict);
    const std::optional<Verdict> read = parseVerdict(text);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->name, "Zoe = Q");
    EXPECT_EQ(read->passes, 40'000u);
    EXPECT_EQ(formatVerdict(*read), text);
    for (size_t cut = 0; cut < text.size(); ++cut)
        EXPECT_FALSE(parseVerdict(text.substr(0, cut))) << cut;

    auto replaced = [&text](const std::string& from, const std::string& to) {
        std::string changed = text;
        changed.replace(changed.find(from), from.size(), to);
        return changed;
    };
    for (const std::string& bad :
         {replaced("passes=40000", "passes=-1"), replaced("passes=40000", "passes=4e4"),
          replaced("verified=1", "verified=yes"), replaced("reason=", "reason=it cheats"),
          replaced("digest=a", "digest=g"), replaced("length_ms=", "length="), text + "passes=1\n",
          "x\n" + text})
        EXPECT_FALSE(parseVerdict(bad)) << bad;
}

}  // namespace
}  // namespace quelvane
