#include "platform/KeysFile.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/TempDir.h"

namespace platform {
namespace {

TEST(KeysFileTest, ANumberIsWholeDecimalAndWithinThirtyTwoBits) {
    uint32_t value = 7;
    EXPECT_TRUE(parseNumber("0", value));
    EXPECT_EQ(value, 0u);
    EXPECT_TRUE(parseNumber("4294967295", value));
    EXPECT_EQ(value, 4294967295u);
    for (const char* refused :
         {"4294967296", "99999999999999999999", "", "-1", "+1", " 1", "1 ", "1x", "0x10", "1.5"}) {
        value = 7;
        EXPECT_FALSE(parseNumber(refused, value)) << '"' << refused << '"';
    }
}

std::vector<std::string> pumped(ScriptedEvents& events, uint32_t frame) {
    events.setFrame(frame);
    std::vector<std::string> out;
    events.pump([&out](const Message& m) {
        out.push_back(m.kind == MessageKind::Close     ? "close"
                      : m.kind == MessageKind::KeyDown ? "down " + std::to_string(m.key)
                                                       : "up " + std::to_string(m.key));
    });
    return out;
}

TEST(KeysFileTest, EventsComeOutOnTheirFramesAndCommentsAndBlankLinesAreSkipped) {
    const TempDir dir;
    const auto file = dir.write("keys.txt", "# a comment\n\n3 down ctrl\n  5 up ctrl\n5 close\n");
    ScriptedEvents events;
    std::string error;
    ASSERT_TRUE(loadKeysFile(file.string(), events, error)) << error;
    EXPECT_TRUE(pumped(events, 2).empty());
    EXPECT_EQ(pumped(events, 3), std::vector<std::string>{"down 17"});
    EXPECT_EQ(pumped(events, 5), (std::vector<std::string>{"up 17", "close"}));
    EXPECT_TRUE(events.finished());
}

TEST(KeysFileTest, ABadLineIsNamedByItsNumber) {
    const TempDir dir;
    for (const char* bad : {"4294967296 down ctrl", "3 down nokey", "3 close ctrl", "3 down ctrl x",
                            "3 press ctrl", "-3 down ctrl"}) {
        const auto file = dir.write("keys.txt", std::string("1 down ctrl\n") + bad + "\n");
        ScriptedEvents events;
        std::string error;
        EXPECT_FALSE(loadKeysFile(file.string(), events, error)) << bad;
        EXPECT_EQ(error, file.string() + ":2: expected FRAME down|up KEY or FRAME close") << bad;
    }
    ScriptedEvents events;
    std::string error;
    EXPECT_FALSE(loadKeysFile((dir / "missing").string(), events, error));
    EXPECT_EQ(error, "cannot read " + (dir / "missing").string());
}

}  // namespace
}  // namespace platform
