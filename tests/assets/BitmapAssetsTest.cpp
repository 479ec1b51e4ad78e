// The generated bitmaps, loaded the way the game loads them.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>

#include "game/gfx/Display.h"

namespace quelvane {
namespace {

struct Sprite {
    SurfacePtr surface;
    int width() const { return surface->width(); }
    int height() const { return surface->height(); }
    // Visible: not the colour key, which the game sets to black.
    bool visible(int x, int y) const { return surface->pixel(x, y) != *surface->colourKey(); }
    int visibleIn(int left, int top, int width, int height) const {
        int count = 0;
        for (int y = top; y < top + height; ++y) {
            for (int x = left; x < left + width; ++x) {
                count += visible(x, y) ? 1 : 0;
            }
        }
        return count;
    }
    bool sameCells(int ax, int ay, int bx, int by, int w, int h) const {
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                if (surface->pixel(ax + x, ay + y) != surface->pixel(bx + x, by + y)) {
                    return false;
                }
            }
        }
        return true;
    }
};

Sprite load(const std::string& file) {
    Display display;
    Sprite sprite{display.LoadBitmap((std::string(QUELVANE_RUN_DIR) + "/" + file).c_str())};
    EXPECT_TRUE(sprite.surface) << file;
    if (sprite.surface) {
        EXPECT_TRUE(display.SetColorKey(sprite.surface.get(), rgb(0, 0, 0)));
    }
    return sprite;
}

TEST(BitmapAssets, EveryBitmapHasItsSizeAndSomethingToSee) {
    const std::pair<const char*, std::pair<int, int>> sizes[] = {
        {"ship.bmp", {25, 40}},       {"alien.bmp", {41, 37}},      {"ashot.bmp", {8, 8}},
        {"bullet.bmp", {7, 7}},       {"laser.bmp", {5, 20}},       {"rocket.bmp", {21, 792}},
        {"target.bmp", {47, 470}},    {"explosion.bmp", {462, 66}}, {"r_explosion.bmp", {768, 64}},
        {"shields.bmp", {23, 28}},    {"freelb.bmp", {21, 23}},     {"upg_laser.bmp", {32, 32}},
        {"upg_rocket.bmp", {32, 32}}, {"upg_r.bmp", {10, 16}},      {"upg_lc.bmp", {10, 16}},
        {"upg_ll.bmp", {10, 16}},     {"upg_m.bmp", {10, 16}},
    };
    for (const auto& [file, size] : sizes) {
        Sprite s = load(file);
        ASSERT_TRUE(s.surface) << file;
        EXPECT_EQ(s.width(), size.first) << file;
        EXPECT_EQ(s.height(), size.second) << file;
        int visible = s.visibleIn(0, 0, s.width(), s.height());
        // Drawn, but not a solid block: the key leaves the shape's surroundings see-through.
        EXPECT_GT(visible, s.width() * s.height() / 10) << file;
        EXPECT_LT(visible, s.width() * s.height()) << file;
    }
    Sprite title = load("title.bmp");
    ASSERT_TRUE(title.surface);
    EXPECT_EQ(title.width(), 486);
    EXPECT_LE(title.height(), 150);
    EXPECT_GT(title.visibleIn(0, 0, 486, title.height()), 486 * title.height() / 4);
}

TEST(BitmapAssets, RocketFramesPointTheirWay) {
    Sprite rocket = load("rocket.bmp");
    ASSERT_TRUE(rocket.surface);
    // The nose is the reddest part: it must lie towards the frame's heading.
    auto noseOffset = [&](int frame) {
        long sx = 0, sy = 0, n = 0;
        for (int y = 0; y < 22; ++y) {
            for (int x = 0; x < 21; ++x) {
                uint32_t p = rocket.surface->pixel(x, frame * 22 + y);
                int r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
                if (r > 200 && g < 110 && b < 110) {
                    sx += x;
                    sy += y;
                    ++n;
                }
            }
        }
        EXPECT_GT(n, 0) << "frame " << frame;
        return std::pair<double, double>{n ? double(sx) / n - 10.0 : 0,
                                         n ? double(sy) / n - 10.5 : 0};
    };
    for (int frame = 0; frame < 36; ++frame) {
        EXPECT_GT(rocket.visibleIn(0, frame * 22, 21, 22), 25) << "frame " << frame;
    }
    EXPECT_LT(noseOffset(0).second, -4.0);  // up
    EXPECT_GT(noseOffset(9).first, 4.0);    // right
    EXPECT_GT(noseOffset(18).second, 4.0);  // down
    EXPECT_LT(noseOffset(27).first, -4.0);  // left
}

TEST(BitmapAssets, AnimationsChangeFromFrameToFrame) {
    Sprite explosion = load("explosion.bmp");
    ASSERT_TRUE(explosion.surface);
    for (int cell = 0; cell < 7; ++cell) {
        int x0 = cell * 66;
        EXPECT_GT(explosion.visibleIn(x0, 0, 66, 66), 100) << "cell " << cell;
        // Everything lies in the square the game erases: (5, 5) up to (60, 60).
        int all = explosion.visibleIn(x0, 0, 66, 66);
        EXPECT_EQ(explosion.visibleIn(x0 + 5, 5, 55, 55), all) << "cell " << cell;
        if (cell > 0) {
            EXPECT_FALSE(explosion.sameCells(x0 - 66, 0, x0, 0, 66, 66)) << "cell " << cell;
        }
    }
    Sprite blast = load("r_explosion.bmp");
    ASSERT_TRUE(blast.surface);
    for (int f = 0; f < 12; ++f) {
        EXPECT_GT(blast.visibleIn(f * 64, 0, 64, 64), 40) << "frame " << f;
        if (f > 0) {
            EXPECT_FALSE(blast.sameCells(f * 64 - 64, 0, f * 64, 0, 64, 64)) << "frame " << f;
        }
    }
    Sprite target = load("target.bmp");
    ASSERT_TRUE(target.surface);
    for (int f = 0; f < 10; ++f) {
        EXPECT_GT(target.visibleIn(0, f * 47, 47, 47), 30) << "frame " << f;
        if (f > 0) {
            EXPECT_FALSE(target.sameCells(0, f * 47 - 47, 0, f * 47, 47, 47)) << "frame " << f;
        }
    }
    // The marker closes in: the last frame keeps its corners clear, the first reaches them.
    EXPECT_GT(target.visibleIn(0, 0, 47, 47) - target.visibleIn(8, 8, 31, 31), 0);
    EXPECT_EQ(target.visibleIn(0, 9 * 47, 47, 47), target.visibleIn(6, 9 * 47 + 6, 35, 35));
}

TEST(BitmapAssets, CombinationMarksStayLegibleWhenStacked) {
    const char* files[] = {"upg_r.bmp", "upg_lc.bmp", "upg_ll.bmp", "upg_m.bmp"};
    Sprite marks[4] = {load(files[0]), load(files[1]), load(files[2]), load(files[3])};
    for (const Sprite& m : marks) {
        ASSERT_TRUE(m.surface);
    }
    // The outline is shared: the pixels on the border are the same in all four.
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 10; ++x) {
            bool border = x == 0 || x == 9 || y == 0 || y == 15 || y == 5 || y == 10;
            for (int i = 1; i < 4 && border; ++i) {
                EXPECT_EQ(marks[i].surface->pixel(x, y), marks[0].surface->pixel(x, y))
                    << files[i] << " at " << x << "," << y;
            }
        }
    }
    // Each sprite and overlay pair the game draws keeps its marks apart: the overlay's marks do
    // not cover any of the sprite's.
    const std::pair<int, int> pairs[] = {{1, 0}, {2, 0}, {0, 3}, {1, 3}, {2, 3}};
    for (auto [sprite, overlay] : pairs) {
        int own = 0;
        for (int y = 1; y < 15; ++y) {
            for (int x = 1; x < 9; ++x) {
                if (y == 5 || y == 10) {
                    continue;
                }
                bool a = marks[sprite].visible(x, y);
                bool b = marks[overlay].visible(x, y);
                EXPECT_FALSE(a && b)
                    << files[sprite] << " under " << files[overlay] << " at " << x << "," << y;
                own += a ? 1 : 0;
            }
        }
        EXPECT_GT(own, 8) << files[sprite];
    }
}

}  // namespace
}  // namespace quelvane
