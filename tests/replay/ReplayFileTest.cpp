#include "game/replay/ReplayFile.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/TempDir.h"

namespace quelvane {
namespace {

constexpr uint64_t kRules = 0x1234'5678'9abc'def0;

const std::filesystem::path kCorpus =
    std::filesystem::path(QUELVANE_SOURCE_DIR) / "tests/replay/corpus/replay";

// A small game of every part, its first state and controls a real game's: ticks and pass times
// across the wrap, messages of each kind in pumps far apart, score reads with and without a file
// and one that failed.
Recording sampleRecording() {
    const ReplayRead real = readReplayFile(kCorpus / "high-score.qvr", 0);
    EXPECT_TRUE(real.recording) << real.error;
    Recording r;
    r.snapshot = real.recording->snapshot;
    r.controls = real.recording->controls;
    for (uint32_t t = 0xFFFF'FF00u; r.ticks.size() < 500; t += r.ticks.size() % 3 == 0 ? 15 : 0)
        r.ticks.push_back(t);
    for (uint32_t t = 0xFFFF'F000u; r.passTicks.size() < 3000; t += 15)
        r.passTicks.push_back(t);
    r.header = {kRules, 1'765'000'000, 3000, r.ticks.back() - r.ticks.front(), 1234, "Zoe Quang"};
    using platform::MessageKind;
    r.messages = {{3, {MessageKind::KeyDown, 'G'}},
                  {3, {MessageKind::KeyUp, 'G'}},
                  {900, {MessageKind::KeyDown, 17, true}},
                  {1000, {MessageKind::KeyDown, 'Q', false, 0, 0, 'a'}},
                  {1001, {MessageKind::KeyDown, 0, true, 0, 0, 0xE9}},
                  {2999, {MessageKind::Close}}};
    r.pumps = 3000;
    ScoreFile table;
    table.entries = {{"Ann", "950"}, {"Bo", "12"}};
    table.endsInName = true;
    ScoreFile failed;
    failed.entries = {{"Cy", "7"}};
    failed.readFailed = true;
    r.scoreReads = {std::nullopt, table, failed};
    return r;
}

TEST(ReplayFileTest, ARecordingComesBackWholeFromItsFileAndItsHeaderReadsAlone) {
    const Recording recording = sampleRecording();
    const TempDir dir;
    const auto file = dir / "game.qvr";
    std::string reason;
    ASSERT_TRUE(writeReplayFile(file, recording, &reason)) << reason;
    const ReplayRead read = readReplayFile(file, kRules);
    ASSERT_TRUE(read.recording) << read.error;
    EXPECT_TRUE(*read.recording == recording);

    const auto header = peekReplayHeader(encodeReplay(recording));
    ASSERT_TRUE(header);
    EXPECT_EQ(*header, recording.header);
    // Any rules version is taken when none is asked for.
    EXPECT_TRUE(decodeReplay(encodeReplay(recording), 0).recording);
}

// The offset of the sizes after the header, for a recording whose name is `name`.
size_t sizesAt(const std::string& name) {
    return 8 + 2 + 8 + 8 + 4 + 4 + 8 + 1 + name.size();
}

std::string errorFor(const std::vector<uint8_t>& bytes) {
    const ReplayRead read = decodeReplay(bytes, kRules);
    EXPECT_FALSE(read.recording);
    return read.error;
}

TEST(ReplayFileTest, EachWrongHeaderFieldIsRefusedWithItsReason) {
    const Recording recording = sampleRecording();
    const std::vector<uint8_t> good = encodeReplay(recording);
    auto with = [&](size_t at, uint8_t value) {
        std::vector<uint8_t> bytes = good;
        bytes[at] = value;
        return bytes;
    };
    EXPECT_EQ(errorFor(with(0, 'X')), "not a Quelvane replay");
    EXPECT_EQ(errorFor(with(8, 1)), "made in replay format 1; this game reads format 2");
    EXPECT_EQ(errorFor(with(10, 0)),
              "recorded by a game with other rules (version "
              "123456789abcde00, this game has 123456789abcdef0)");
    // The date, the length, the score and the name are covered by the checksum.
    for (const size_t at : {18u, 26u, 30u, 34u, 43u})
        EXPECT_EQ(errorFor(with(at, good[at] ^ 1)), "damaged: its checksum does not match") << at;
    const size_t sizes = sizesAt(recording.header.name);
    EXPECT_EQ(errorFor(with(sizes, good[sizes] - 1)),
              "damaged: the recording is larger than its header says");
    EXPECT_EQ(errorFor(with(sizes, good[sizes] + 1)),
              "damaged: the recording is smaller than its header says");
    EXPECT_EQ(errorFor(with(sizes + 4, good[sizes + 4] + 1)), "truncated");
    EXPECT_EQ(errorFor(with(sizes + 8, good[sizes + 8] ^ 1)),
              "damaged: its checksum does not match");
    std::vector<uint8_t> longer = good;
    longer.push_back(0);
    EXPECT_EQ(errorFor(longer), "damaged: bytes after the end of the recording");
}

TEST(ReplayFileTest, EveryTruncationAndEveryFlippedBitIsRefused) {
    const std::vector<uint8_t> good = encodeReplay(sampleRecording());
    for (size_t size = 0; size < good.size(); size += 97) {
        const std::vector<uint8_t> cut(good.begin(), good.begin() + static_cast<long>(size));
        EXPECT_FALSE(decodeReplay(cut, kRules).recording) << size;
        EXPECT_FALSE(decodeReplay(cut, kRules).error.empty()) << size;
    }
    // A flipped bit is refused, or it fell where the compressed stream has another spelling of the
    // same bytes (the padding of its last byte, a copy within repeated bytes): then the whole
    // recording reads back exactly as it was written.
    const Recording original = sampleRecording();
    for (size_t bit = 0; bit < good.size() * 8; ++bit) {
        std::vector<uint8_t> flipped = good;
        flipped[bit / 8] ^= static_cast<uint8_t>(1u << (bit % 8));
        const ReplayRead read = decodeReplay(flipped, kRules);
        if (read.recording) {
            EXPECT_TRUE(*read.recording == original) << "bit " << bit;
        } else {
            EXPECT_FALSE(read.error.empty()) << "bit " << bit;
        }
    }
}

// The header of a recording that says `bodySize` and holds `packed` as its compressed recording.
std::vector<uint8_t> withBody(uint32_t bodySize, const std::vector<uint8_t>& packed) {
    std::vector<uint8_t> bytes = encodeReplay(sampleRecording());
    bytes.resize(sizesAt("Zoe Quang"));
    for (const uint32_t v : {bodySize, static_cast<uint32_t>(packed.size()), 0u})
        for (int i = 0; i < 4; ++i)
            bytes.push_back(static_cast<uint8_t>(v >> (8 * i)));
    bytes.insert(bytes.end(), packed.begin(), packed.end());
    return bytes;
}

TEST(ReplayFileTest, AZipBombAndAHugeLengthAreRefusedWithoutTakingTheMemory) {
    // 64 MB of zeros compress to some 64 KB; the header claims a small recording.
    const std::vector<uint8_t> zeros(64u << 20, 0);
    uLongf size = compressBound(zeros.size());
    std::vector<uint8_t> bomb(size);
    ASSERT_EQ(compress2(bomb.data(), &size, zeros.data(), zeros.size(), 9), Z_OK);
    bomb.resize(size);
    EXPECT_EQ(errorFor(withBody(1000, bomb)),
              "damaged: the recording is larger than its header says");
    EXPECT_EQ(errorFor(withBody(2'000'000'000u, bomb)),
              "claims 2000000000 bytes of recording, more than 67108864 a replay may hold");
    EXPECT_EQ(errorFor(withBody(100, {})), "damaged: the compressed recording does not inflate");
}

TEST(ReplayFileTest, AFileThatCannotBeReadOrIsTooLargeSaysSo) {
    const TempDir dir;
    EXPECT_EQ(readReplayFile(dir / "none.qvr", kRules).error, "cannot be opened");
    EXPECT_EQ(readReplayFile(dir.path(), kRules).error, "is not a file");
    const auto text = dir.write("text.qvr", "hello, world");
    EXPECT_EQ(readReplayFile(text, kRules).error, "not a Quelvane replay");
    // A sparse file of 2 GB: refused by its size before a byte is read.
    const auto huge = dir.write("huge.qvr", "");
    std::filesystem::resize_file(huge, 2ull << 30);
    EXPECT_EQ(readReplayFile(huge, kRules).error, "too large to be a replay");
}

// Kept from fuzzing and from recorded games: each file is read or refused with a reason, and what
// is read comes back the same through the writer.
TEST(ReplayFileTest, EveryCorpusFileIsReadOrRefusedCleanly) {
    int read = 0;
    for (const auto& entry : std::filesystem::directory_iterator(kCorpus)) {
        const ReplayRead result = readReplayFile(entry.path(), 0);
        if (!result.recording) {
            EXPECT_FALSE(result.error.empty()) << entry.path();
            continue;
        }
        ++read;
        const ReplayRead again = decodeReplay(encodeReplay(*result.recording), 0);
        ASSERT_TRUE(again.recording) << entry.path();
        EXPECT_TRUE(*again.recording == *result.recording) << entry.path();
    }
    EXPECT_GE(read, 2);
}

}  // namespace
}  // namespace quelvane
