#include <gtest/gtest.h>

#include <filesystem>

#include "game/world/Assets.h"
#include "platform/WholeFile.h"
#include "support/CorpusList.h"
#include "tests/replay/fuzz/PlayInput.h"

namespace quelvane {
namespace {

const std::filesystem::path kPlayCorpus =
    std::filesystem::path(QUELVANE_SOURCE_DIR) / "tests/replay/corpus";

// Every file of the play fuzzer's corpus is listed, and played as the fuzzer plays it, verifies or
// is refused as the list says: the genuine games verify, and what the fuzzer found is refused,
// under the sanitizers too.
TEST(PlayCorpusTest, EveryFileVerifiesOrIsRefusedAsListed) {
    // Each file "verifies" or is "refused".
    const auto expected = readCorpusList(kPlayCorpus / "expected.txt");
    setAssetFolder(QUELVANE_RUN_DIR);
    size_t seen = 0;
    for (const auto& entry : std::filesystem::directory_iterator(kPlayCorpus / "play")) {
        const std::string name = "play/" + entry.path().filename().string();
        SCOPED_TRACE(name);
        const auto it = expected.find(name);
        ASSERT_NE(it, expected.end()) << "not listed in expected.txt";
        ++seen;
        const std::vector<uint8_t> bytes = platform::readWholeFile(entry.path(), 1u << 20).bytes;
        const Verdict verdict = playInput(bytes.data(), bytes.size());
        EXPECT_EQ(verdict.verified, it->second.outcome == "verifies") << verdict.reason;
    }
    EXPECT_EQ(seen, expected.size());
    setAssetFolder({});
}

}  // namespace
}  // namespace quelvane
