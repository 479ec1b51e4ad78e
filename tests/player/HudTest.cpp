#include "game/player/Hud.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <string>
#include <utility>
#include <vector>

#include "game/gfx/Font.h"
#include "tests/player/PlayerFixture.h"

namespace quelvane {
namespace {

class HudTest : public PlayerFixture {
  protected:
    void SetUp() override {
        PlayerFixture::SetUp();
        hudFont = Font::create(16, 7, 700, kFixedPitch | kFamilyModern);
        ASSERT_TRUE(hudFont);
        barFrameColour = pixelFromColour(rgb(255, 255, 0));
        player.barColour = pixelFromColour(rgb(255, 0, 255));
    }
    void TearDown() override {
        hudFont.reset();
        PlayerFixture::TearDown();
    }

    // The columns the text covers on the bottom line: first and last lit x.
    std::pair<int, int> inkOf(const std::string& s, int x) {
        display.Flip(true);
        display.GetDC();
        display.SelectFont(hudFont.get());
        display.DrawString(s.c_str(), x, 461, true, rgb(255, 255, 255), 0);
        display.RestoreFont();
        display.ReleaseDC();
        int first = INT_MAX, last = -1;
        for (int y = 455; y < 480; ++y)
            for (int px = 0; px < 640; ++px)
                if (backPixel(px, y) != 0) {
                    first = std::min(first, px);
                    last = std::max(last, px);
                }
        return {first, last};
    }
};

TEST_F(HudTest, LabelsValuesAndTheBarNeverOverlapWithTheWidestTexts) {
    // Left to right, each with its widest text: shields, LimitBreak, the bar, weapon, score.
    std::vector<std::pair<int, int>> spans = {
        inkOf("Shields:", 5),     inkOf("-99", 63),
        inkOf("LimitBreak:", 99), {181, 259},
        inkOf("Weapon:", 285),    inkOf("Laser Cannons (chained)", 349),
        inkOf("Score:", 530),     inkOf(std::to_string(INT_MAX), 576),
    };
    for (size_t i = 0; i + 1 < spans.size(); ++i)
        EXPECT_LT(spans[i].second, spans[i + 1].first) << "item " << i << " runs into the next";
    EXPECT_LE(spans.back().second, 639);
}

TEST_F(HudTest, ShieldsColourAndTheBarFollowThePlayer) {
    EXPECT_EQ(shieldsColour(20), rgb(0, 255, 0));
    EXPECT_EQ(shieldsColour(19), rgb(255, 175, 0));
    EXPECT_EQ(shieldsColour(10), rgb(255, 175, 0));
    EXPECT_EQ(shieldsColour(9), rgb(255, 0, 0));
    EXPECT_EQ(shieldsColour(0), rgb(255, 0, 0));

    const uint32_t magenta = pixelFromColour(rgb(255, 0, 255));
    const uint32_t yellow = pixelFromColour(rgb(255, 255, 0));
    player.limitBreakMeter = 9000;
    player.drawLimitBreakBar(display);
    EXPECT_EQ(countPixels(magenta, 0, 465, 640, 466), 220 - 182);
    EXPECT_EQ(backPixel(182, 465), magenta);
    EXPECT_EQ(backPixel(219, 465), magenta);
    EXPECT_EQ(backPixel(220, 465), yellow);
    EXPECT_EQ(backPixel(181, 464), yellow);
    EXPECT_EQ(backPixel(259, 474), yellow);
    EXPECT_EQ(backPixel(260, 474), 0u);
}

TEST_F(HudTest, TheLineShowsThePlayersValuesAndThePromptOnlyWhenReady) {
    auto drawn = [&] {
        display.Flip(true);
        display.GetDC();
        player.drawHud(display);
        display.ReleaseDC();
        return countPixels(0, 0, 240, 640, 270) < 640 * 30;  // anything in mid-screen
    };
    EXPECT_FALSE(drawn());
    const uint32_t red = pixelFromColour(rgb(255, 0, 0));
    EXPECT_EQ(countPixels(red, 60, 455, 99, 480), 0);
    player.shields = 5;
    player.grantLimitBreak();
    EXPECT_TRUE(drawn());
    EXPECT_GT(countPixels(red, 60, 455, 99, 480), 0);
    EXPECT_STREQ(weaponLabel(7), "LC(C) / M");
    EXPECT_STREQ(weaponLabel(9), "");
}

}  // namespace
}  // namespace quelvane
