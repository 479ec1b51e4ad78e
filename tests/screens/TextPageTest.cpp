#include "game/screens/TextPage.h"

#include "support/ScreenFixture.h"

namespace quelvane {
namespace {

TEST(SplitLinesTest, EveryLineFeedEndsALineAndATrailingOneAddsNone) {
    using Lines = std::vector<std::string>;
    EXPECT_EQ(splitLines(""), Lines{});
    EXPECT_EQ(splitLines("one"), Lines{"one"});
    EXPECT_EQ(splitLines("one\n"), Lines{"one"});
    EXPECT_EQ(splitLines("one\n\ntwo"), (Lines{"one", "", "two"}));
    EXPECT_EQ(splitLines("\n"), Lines{""});
    EXPECT_EQ(splitLines("a\n\n"), (Lines{"a", ""}));
}

// Text pages on the real display, a virtual clock and scripted keys.
class TextPageTest : public ScreenFixture {};

TEST_F(TextPageTest, AnyKeyEndsAPageWithoutKeysAndThePageIsDrawnOnceMoreInThatPass) {
    TextPage page;
    page.items.push_back({TextItem::HasColour, "Hello\nworld", rgb(255, 0, 0), 0, 50, 50});
    keyDown(3, platform::vk::kShift);
    keys.add(3, {platform::MessageKind::KeyUp, platform::vk::kShift});
    showTextPage(page);
    EXPECT_EQ(passes, 4);
    EXPECT_EQ(dispatched, std::vector<platform::MessageKind>{platform::MessageKind::KeyUp});
    EXPECT_EQ(clock.ticks(), 1000u + 4 * kFramePeriod);  // paced, not spinning
    const Surface* shown = display.presentedSurface();
    int red = 0;
    for (int y = 50; y < 82; ++y)
        for (int x = 50; x < 120; ++x)
            red += shown->pixel(x, y) == pixelFromColour(rgb(255, 0, 0));
    EXPECT_GT(red, 20);
}

TEST_F(TextPageTest, APageWithItsOwnKeysIgnoresEveryOther) {
    TextPage page;
    page.exitKeys = {platform::vk::kEscape};
    page.exitChars = "Q";
    keyDown(1, 'A');
    keyDown(2, platform::vk::kF1);
    keyDown(5, 'Q');
    showTextPage(page);
    EXPECT_EQ(passes, 6);
    keyDown(8, platform::vk::kEscape);
    showTextPage(page);
    EXPECT_EQ(passes, 9);
}

TEST_F(TextPageTest, AWindowCloseEndsThePageAtItsNextTest) {
    keys.add(2, {platform::MessageKind::Close});
    setMessageHandler([](const platform::Message& m) {
        if (m.kind == platform::MessageKind::Close)
            exitRequested = true;
    });
    showTextPage(TextPage{});
    EXPECT_EQ(passes, 3);
    showTextPage(TextPage{});  // returns at once
    EXPECT_EQ(passes, 3);
}

}  // namespace
}  // namespace quelvane
