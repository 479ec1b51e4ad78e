#include <gtest/gtest.h>

#include <climits>
#include <utility>
#include <vector>

#include "game/gfx/DeviceContext.h"
#include "game/gfx/Surface.h"

namespace quelvane {
namespace {

constexpr uint32_t kRed = 0x00FF0000;

class LineTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(succeeded(surface.getDC(dc))); }

    void line(int x0, int y0, int x1, int y1) {
        dc->selectPen(Pen{rgb(255, 0, 0)});
        dc->moveTo(x0, y0);
        dc->lineTo(x1, y1);
    }
    std::vector<std::pair<int, int>> plotted() const {
        std::vector<std::pair<int, int>> points;
        for (int y = 0; y < surface.height(); ++y)
            for (int x = 0; x < surface.width(); ++x)
                if (surface.pixel(x, y) == kRed)
                    points.emplace_back(x, y);
        return points;
    }

    Surface surface{640, 480};
    DeviceContext* dc = nullptr;
};

TEST_F(LineTest, LinesLeaveOutTheirEndPointAndMoveThePen) {
    line(10, 5, 14, 5);
    EXPECT_EQ(plotted(), (std::vector<std::pair<int, int>>{{10, 5}, {11, 5}, {12, 5}, {13, 5}}));
    dc->lineTo(14, 7);  // on from the last end point
    EXPECT_EQ(plotted().size(), 6u);
    EXPECT_EQ(surface.pixel(14, 5), kRed);
    EXPECT_EQ(surface.pixel(14, 6), kRed);
    EXPECT_NE(surface.pixel(14, 7), kRed);
}

TEST_F(LineTest, ShallowAndSteepLinesStepOnePixelAlongTheirLongerAxis) {
    line(0, 0, 10, 3);  // rounds i * 3 / 10, halves away from the start
    EXPECT_EQ(plotted(),
              (std::vector<std::pair<int, int>>{
                  {0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 1}, {5, 2}, {6, 2}, {7, 2}, {8, 2}, {9, 3}}));
    surface.fill(0, 0, 0, 640, 480);
    line(100, 100, 97, 90);  // steep, up and to the left
    const auto points = plotted();
    ASSERT_EQ(points.size(), 10u);
    EXPECT_EQ(points.front(), (std::pair<int, int>{97, 91}));
    EXPECT_EQ(points.back(), (std::pair<int, int>{100, 100}));
}

TEST_F(LineTest, LinesReachingFarOffTheSurfaceAreClippedNotWalked) {
    // Once these walked four thousand million steps and overflowed their error term.
    line(INT_MIN, 240, INT_MAX, 240);
    EXPECT_EQ(plotted().size(), 640u);
    surface.fill(0, 0, 0, 640, 480);
    line(INT_MAX, INT_MAX, INT_MIN, INT_MIN);
    auto points = plotted();
    ASSERT_EQ(points.size(), 480u);  // the main diagonal, as far as the surface is high
    for (const auto& [x, y] : points)
        EXPECT_EQ(x, y);
    surface.fill(0, 0, 0, 640, 480);
    line(-1000, -1000, -10, 5000);  // wholly left of the surface
    line(INT_MIN, INT_MIN, INT_MAX, INT_MIN);
    EXPECT_TRUE(plotted().empty());
}

}  // namespace
}  // namespace quelvane
