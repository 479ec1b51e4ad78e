#include <gtest/gtest.h>

#include "game/gfx/Display.h"
#include "game/gfx/Font.h"
#include "support/DisplayFixture.h"

namespace quelvane {
namespace {

class TextTest : public DisplayFixture {
  protected:
    void SetUp() override {
        DisplayFixture::SetUp();
        hud = Font::create(16, 7, 700, kFixedPitch | kFamilyModern);
        ASSERT_TRUE(hud);
        ASSERT_TRUE(succeeded(display.GetDC()));
        dc = display.deviceContext();
        ASSERT_NE(dc, nullptr);
    }

    std::unique_ptr<Font> hud;
    DeviceContext* dc = nullptr;
};

TEST(FontTest, FontsHaveTheCellsTheirArgumentsAsk) {
    auto hud = Font::create(16, 7, 700, kFixedPitch | kFamilyModern);
    ASSERT_TRUE(hud);
    EXPECT_EQ(hud->advance(), 7);
    EXPECT_EQ(hud->cellHeight(), 16);
    // The help font: 10 pixels high, the face's own width.
    auto help = Font::create(10, 0, 300, kFixedPitch | kFamilyModern);
    ASSERT_TRUE(help);
    EXPECT_EQ(help->cellHeight(), 10);
    EXPECT_GE(help->advance(), 5);
    EXPECT_LE(help->advance(), 6);
}

TEST_F(TextTest, SelectFontRemembersOnlyTheFontBeforeTheFirstSelection) {
    auto other = Font::create(10, 0, 300, kFixedPitch | kFamilyModern);
    const Font* before = dc->font();
    ASSERT_TRUE(display.SelectFont(hud.get()));
    EXPECT_EQ(dc->font(), hud.get());
    ASSERT_TRUE(display.SelectFont(other.get()));
    EXPECT_EQ(dc->font(), other.get());
    display.RestoreFont();
    EXPECT_EQ(dc->font(), before);
    // Giving the context back restores the font too.
    ASSERT_TRUE(display.SelectFont(hud.get()));
    ASSERT_TRUE(succeeded(display.ReleaseDC()));
    EXPECT_EQ(dc->font(), before);
}

TEST_F(TextTest, DrawStringPaintsInItsColoursAndPutsTheContextsSettingsBack) {
    display.ReleaseDC();
    ASSERT_TRUE(display.FillRect(0x00000040, 0, 0, 640, 480));
    ASSERT_TRUE(succeeded(display.GetDC()));
    ASSERT_TRUE(display.SelectFont(hud.get()));
    dc->setBkMode(BackgroundMode::Opaque);
    dc->setBkColor(rgb(1, 2, 3));
    dc->setTextColor(rgb(4, 5, 6));

    ASSERT_TRUE(display.DrawString("HIGH", 10, 10, true, rgb(255, 255, 0), rgb(0, 0, 0)));
    EXPECT_EQ(dc->bkMode(), BackgroundMode::Opaque);
    EXPECT_EQ(dc->bkColor(), rgb(1, 2, 3));
    EXPECT_EQ(dc->textColor(), rgb(4, 5, 6));
    // Transparent: glyph pixels in yellow, the rest of the cells untouched.
    const int yellow = countPixels(0x00FFFF00, 10, 10, 10 + 4 * 7, 26);
    EXPECT_GT(yellow, 20);
    EXPECT_GT(countPixels(0x00000040, 10, 10, 38, 26), 4 * 7 * 16 / 3);
    ASSERT_TRUE(display.DrawString("  ", 200, 10, true, rgb(255, 255, 0), rgb(0, 0, 0)));
    EXPECT_EQ(countPixels(0x00000040, 200, 10, 214, 26), 14 * 16);
    EXPECT_EQ(countPixels(0x00FFFF00, 0, 26, 640, 480), 0) << "nothing below the cell";
    EXPECT_EQ(countPixels(0x00FFFF00, 38, 0, 640, 26), 0) << "nothing right of the last cell";

    // Opaque: the whole cell row takes the background colour where no glyph covers it.
    ASSERT_TRUE(display.DrawString("  ", 100, 100, false, rgb(255, 255, 255), rgb(0, 0, 200)));
    EXPECT_EQ(countPixels(0x000000C8, 100, 100, 114, 116), 14 * 16);
    EXPECT_EQ(countPixels(0x000000C8, 0, 0, 640, 480), 14 * 16);
    display.RestoreFont();
    display.ReleaseDC();
}

}  // namespace
}  // namespace quelvane
