#include "game/gfx/Display.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "support/DisplayFixture.h"

namespace quelvane {
namespace {

using DisplayTest = DisplayFixture;

SurfacePtr sprite(int w, int h, uint32_t colour) {
    auto s = std::make_unique<Surface>(w, h);
    s->fill(colour, 0, 0, w, h);
    return s;
}

TEST_F(DisplayTest, InitOnceGivesTheScreenAndRefusesASecondTime) {
    const DisplayStatus status = display.GetStatus();
    EXPECT_EQ(status.state, DisplayState::Ready);
    EXPECT_EQ(status.screenRect, (Rect{0, 0, 639, 479}));
    EXPECT_EQ(display.GetScreenRect(), (Rect{0, 0, 639, 479}));
    EXPECT_FALSE(display.Init(&screen, 320, 200, 32, 0, true));
    EXPECT_EQ(screen.opens, 1);
    EXPECT_EQ(display.GetScreenRect(), (Rect{0, 0, 639, 479}));
    EXPECT_EQ(display.GetStatus().state, DisplayState::Ready);
}

TEST(DisplayInitTest, WithoutAScreenAt16BitsOrWhenTheScreenRefusesTheDisplayFails) {
    Display noScreen;
    EXPECT_FALSE(noScreen.Init(nullptr, 640, 480, 32, 0, true));
    EXPECT_EQ(noScreen.GetStatus().state, DisplayState::Failed);
    EXPECT_FALSE(noScreen.Flip(true));

    RecordingScreen refusing;
    refusing.acceptOpen = false;
    Display refused;
    EXPECT_FALSE(refused.Init(&refusing, 640, 480, 32, kCooperativeFullscreen, true));
    EXPECT_TRUE(refusing.fullScreen);
    EXPECT_EQ(refused.GetStatus().state, DisplayState::Failed);
    EXPECT_FALSE(refused.Flip(true));

    RecordingScreen screen;
    Display shallow;
    EXPECT_FALSE(shallow.Init(&screen, 640, 480, 16, 0, true));
    EXPECT_EQ(screen.opens, 0);
    EXPECT_EQ(shallow.GetStatus().state, DisplayState::Failed);
    // Nothing of a failed display may fault.
    EXPECT_FALSE(succeeded(shallow.Lock()));
    EXPECT_FALSE(shallow.PutPixel(0, 0, 1));
    EXPECT_EQ(shallow.MatchColor(nullptr, rgb(1, 2, 3)), 0xFFFFFFFFu);
    shallow.Release();
    shallow.Release();
}

TEST_F(DisplayTest, ReleaseTwiceIsHarmlessAndLeavesTheStateAlone) {
    display.Release();
    display.Release();
    EXPECT_EQ(display.GetStatus().state, DisplayState::Ready);
    EXPECT_FALSE(display.Flip(true));
    EXPECT_FALSE(succeeded(display.GetDC()));
}

TEST_F(DisplayTest, LockAndDeviceContextExcludeEachOtherAndGateEveryOperation) {
    auto s = sprite(4, 4, 0x123456);
    ASSERT_TRUE(succeeded(display.Lock()));
    EXPECT_TRUE(display.GetStatus().locked);
    EXPECT_FALSE(succeeded(display.Lock()));
    EXPECT_FALSE(succeeded(display.GetDC()));
    EXPECT_FALSE(display.FillRect(7, 0, 0, 10, 10));
    EXPECT_FALSE(display.DrawSurface(s.get(), 0, 0, nullptr));
    EXPECT_FALSE(display.Flip(false));
    EXPECT_FALSE(display.DrawString("x", 0, 0, true, 0, 0));
    EXPECT_TRUE(display.PutPixel(1, 1, 9));
    ASSERT_TRUE(succeeded(display.Unlock()));
    EXPECT_FALSE(succeeded(display.Unlock()));
    EXPECT_EQ(countPixels(7, 0, 0, 640, 480), 0);
    EXPECT_EQ(countPixels(0x123456, 0, 0, 640, 480), 0);

    ASSERT_TRUE(succeeded(display.GetDC()));
    EXPECT_TRUE(display.GetStatus().dcHeld);
    EXPECT_FALSE(succeeded(display.Lock()));
    EXPECT_FALSE(display.FillRect(7, 0, 0, 10, 10));
    EXPECT_FALSE(display.DrawSurface(s.get(), 0, 0, nullptr));
    EXPECT_FALSE(display.PutPixel(2, 2, 9));
    EXPECT_TRUE(display.DrawLine(0, 5, 10, 5, Pen{rgb(255, 0, 0)}, 0));
    ASSERT_TRUE(succeeded(display.ReleaseDC()));
    EXPECT_FALSE(succeeded(display.ReleaseDC()));
    EXPECT_FALSE(display.DrawLine(0, 6, 10, 6, Pen{rgb(255, 0, 0)}, 0));
    EXPECT_FALSE(display.SelectFont(nullptr));
    EXPECT_EQ(countPixels(7, 0, 0, 640, 480), 0);
    EXPECT_EQ(backPixel(1, 1), 9u);
    EXPECT_EQ(countPixels(0xFF0000, 0, 0, 640, 480), 10) << "the end point of a line is left out";
}

TEST_F(DisplayTest, FillRectOrdersItsCornersAndLeavesRightAndBottomOut) {
    ASSERT_TRUE(display.FillRect(5, 100, 50, 10, 5));
    EXPECT_EQ(countPixels(5, 0, 0, 640, 480), 90 * 45);
    EXPECT_EQ(countPixels(5, 10, 5, 100, 50), 90 * 45);

    const Rect screen = display.GetScreenRect();
    ASSERT_TRUE(display.FillRect(6, screen.left, screen.top, screen.right, screen.bottom));
    EXPECT_EQ(countPixels(6, 0, 0, 640, 480), 639 * 479);
    EXPECT_NE(backPixel(639, 0), 6u);
    EXPECT_NE(backPixel(0, 479), 6u);

    // Off-screen parts are clipped, not written past the surface.
    ASSERT_TRUE(display.FillRect(8, -50, -50, 700, 2));
    EXPECT_EQ(countPixels(8, 0, 0, 640, 480), 640 * 2);
}

TEST_F(DisplayTest, FlipPresentsTheBackSurfaceAndClearsOnlyWhenAsked) {
    ASSERT_TRUE(display.FillRect(0x00ABCDEF, 0, 0, 10, 10));
    ASSERT_TRUE(display.Flip(false));
    EXPECT_EQ(display.presentedSurface()->pixel(5, 5), 0x00ABCDEFu);

    ASSERT_TRUE(display.FillRect(0x00FEDCBA, 0, 0, 640, 480));
    ASSERT_TRUE(display.Flip(true));
    EXPECT_EQ(display.presentedSurface()->pixel(639, 479), 0x00FEDCBAu);
    EXPECT_EQ(countPixels(0, 0, 0, 640, 480), 640 * 480);
}

TEST(SurfaceTest, FillsWhollyOffTheSurfaceTouchNothing) {
    Surface s(640, 480);
    s.fill(7, 700, 470, 800, 480);  // right of the last row
    s.fill(7, -50, 0, -1, 480);
    s.fill(7, 0, 480, 640, 600);
    s.fill(7, 10, 10, 10, 20);  // empty
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x)
            ASSERT_EQ(s.pixel(x, y), 0u) << x << "," << y;
    s.fill(7, 630, 470, 800, 900);
    EXPECT_EQ(s.pixel(639, 479), 7u);
    EXPECT_EQ(s.pixel(629, 479), 0u);
}

// Colours whose four bytes are alike and colours whose bytes differ, over whole rows and parts of
// rows, each fill over the last: every pixel is the last colour whose rectangle holds it.
TEST(SurfaceTest, FillsOfEveryColourCoverExactlyTheirRectangles) {
    struct Fill {
        uint32_t pixel;
        int left, top, right, bottom;
    };
    const Fill fills[] = {
        {0x00ABCDEF, 0, 0, 37, 23},   {0x7F7F7F7F, 3, 2, 37, 20},  {0x00000000, 0, 5, 37, 9},
        {0x00FF0001, 1, 1, 36, 22},   {0xFFFFFFFF, 10, 0, 11, 23}, {0x12345678, 0, 21, 37, 23},
        {0x00010101, -4, 12, 50, 13},
    };
    Surface s(37, 23);
    std::vector<uint32_t> expected(size_t{37} * 23, 0);
    for (const Fill& f : fills) {
        s.fill(f.pixel, f.left, f.top, f.right, f.bottom);
        for (int y = std::max(f.top, 0); y < std::min(f.bottom, 23); ++y)
            for (int x = std::max(f.left, 0); x < std::min(f.right, 37); ++x)
                expected[static_cast<size_t>(y) * 37 + x] = f.pixel;
        ASSERT_TRUE(std::equal(expected.begin(), expected.end(), s.data()))
            << "after the fill in " << std::hex << f.pixel;
    }
}

TEST_F(DisplayTest, FlipPresentsTheFinishedPictureAndReleaseClosesTheScreenOnce) {
    ASSERT_TRUE(display.FillRect(0x00ABCDEF, 10, 20, 11, 21));
    ASSERT_TRUE(display.Flip(true));
    EXPECT_EQ(screen.presents, 1);
    ASSERT_EQ(screen.last.size(), 640u * 480u);
    EXPECT_EQ(screen.last[20 * 640 + 10], 0x00ABCDEFu);
    EXPECT_EQ(screen.last[20 * 640 + 11], 0u);
    display.Release();
    display.Release();
    EXPECT_EQ(screen.closes, 1);
}

TEST_F(DisplayTest, MatchColorConvertsAndLeavesPixelZeroAsItWas) {
    ASSERT_TRUE(display.FillRect(0x00112233, 0, 0, 1, 1));
    EXPECT_EQ(display.MatchColor(nullptr, rgb(0, 0, 0)), 0u);
    EXPECT_EQ(display.MatchColor(nullptr, rgb(255, 255, 0)), 0x00FFFF00u);
    EXPECT_EQ(display.MatchColor(nullptr, rgb(1, 2, 3)), 0x00010203u);
    EXPECT_EQ(backPixel(0, 0), 0x00112233u);
    // An invalid colour reads pixel (0, 0) raw and writes nothing.
    EXPECT_EQ(display.MatchColor(nullptr, kInvalidColour), 0x00112233u);
    EXPECT_EQ(backPixel(0, 0), 0x00112233u);
    // A locked surface cannot be read.
    ASSERT_TRUE(succeeded(display.Lock()));
    EXPECT_EQ(display.MatchColor(nullptr, rgb(9, 9, 9)), 0xFFFFFFFFu);
    display.Unlock();
}

TEST_F(DisplayTest, PutPixelWritesTheLastPixelAndNothingOutside) {
    ASSERT_TRUE(succeeded(display.Lock()));
    EXPECT_TRUE(display.PutPixel(639, 479, 0x00FFFFFF));
    EXPECT_FALSE(display.PutPixel(640, 0, 0x00FFFFFF));
    EXPECT_FALSE(display.PutPixel(0, 480, 0x00FFFFFF));
    EXPECT_FALSE(display.PutPixel(-1, 0, 0x00FFFFFF));
    const LockInfo& lock = display.lockDesc();
    EXPECT_EQ(lock.pitch, 640 * 4);
    EXPECT_EQ(lock.bitCount, 32u);
    display.Unlock();
    EXPECT_FALSE(display.PutPixel(1, 1, 0x00FFFFFF));
    EXPECT_EQ(countPixels(0x00FFFFFF, 0, 0, 640, 480), 1);
    EXPECT_EQ(backPixel(639, 479), 0x00FFFFFFu);
}

TEST_F(DisplayTest, SpritesSkipTheirKeyColourAndAreClippedAtEveryEdge) {
    auto s = sprite(41, 37, 0x00FF0000);
    s->fill(0, 10, 10, 20, 20);  // a black hole in the middle
    ASSERT_TRUE(display.SetColorKey(s.get(), rgb(0, 0, 0)));
    ASSERT_TRUE(display.FillRect(0x00000077, 0, 0, 640, 480));

    ASSERT_TRUE(display.DrawSurface(s.get(), 100, 100, nullptr));
    EXPECT_EQ(display.destRect(), (Rect{100, 100, 141, 137}));
    EXPECT_EQ(countPixels(0x00FF0000, 100, 100, 141, 137), 41 * 37 - 100);
    EXPECT_EQ(backPixel(115, 115), 0x00000077u) << "the key colour is transparent";

    struct Case {
        int x, y, visible;
    };
    for (const Case c :
         {Case{-20, 200, 21 * 37}, Case{620, 200, 20 * 37 - 100}, Case{300, -30, 41 * 7},
          Case{300, 470, 41 * 10}, Case{-40, -36, 1}, Case{639, 479, 1}, Case{700, 10, 0},
          Case{10, -37, 0}, Case{-100000, 100, 0}, Case{INT32_MIN, 100, 0}, Case{INT32_MAX, 100, 0},
          Case{100, INT32_MIN, 0}, Case{100, INT32_MAX, 0}}) {
        ASSERT_TRUE(display.FillRect(0, 0, 0, 640, 480));
        EXPECT_TRUE(display.DrawSurface(s.get(), c.x, c.y, nullptr)) << c.x << "," << c.y;
        EXPECT_EQ(countPixels(0x00FF0000, 0, 0, 640, 480), c.visible) << c.x << "," << c.y;
    }
}

TEST_F(DisplayTest, ASourceRectangleDrawsOneFrameOfASheet) {
    auto sheet = std::make_unique<Surface>(21, 66);
    sheet->fill(0x000000FF, 0, 0, 21, 22);
    sheet->fill(0x0000FF00, 0, 22, 21, 44);
    sheet->fill(0x00FF0000, 0, 44, 21, 66);
    const Rect second{0, 22, 21, 44};
    ASSERT_TRUE(display.DrawSurface(sheet.get(), 5, 5, &second));
    EXPECT_EQ(display.destRect(), (Rect{5, 5, 26, 27}));
    EXPECT_EQ(countPixels(0x0000FF00, 0, 0, 640, 480), 21 * 22);
    EXPECT_EQ(countPixels(0x000000FF, 0, 0, 640, 480), 0);

    const Rect outside{0, 50, 21, 80};
    EXPECT_FALSE(display.DrawSurface(sheet.get(), 5, 5, &outside));
    EXPECT_FALSE(display.DrawSurface(nullptr, 5, 5, nullptr));
}

TEST_F(DisplayTest, CopyBitmapStretchesARegionOverTheWholeSurface) {
    Bitmap bitmap{4, 2, {1, 2, 3, 4, 5, 6, 7, 8}};
    Surface surface(4, 4);
    ASSERT_TRUE(display.CopyBitmap(&surface, &bitmap, 2, 0, 2, 2));
    EXPECT_EQ(surface.pixel(0, 0), 3u);
    EXPECT_EQ(surface.pixel(3, 0), 4u);
    EXPECT_EQ(surface.pixel(0, 3), 7u);
    EXPECT_EQ(surface.pixel(3, 3), 8u);
    EXPECT_FALSE(display.CopyBitmap(nullptr, &bitmap, 0, 0, 0, 0));
    EXPECT_FALSE(display.CopyBitmap(&surface, nullptr, 0, 0, 0, 0));
}

}  // namespace
}  // namespace quelvane
