#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "game/gfx/Display.h"
#include "platform/Screen.h"

namespace quelvane {

// Stands in for the window: keeps a copy of what the display presented last, so that tests run
// without a windowing library.
class RecordingScreen : public platform::Screen {
  public:
    bool open(int width, int height, bool fullScreen) override {
        ++opens;
        this->width = width;
        this->height = height;
        this->fullScreen = fullScreen;
        return acceptOpen;
    }
    void present(const uint32_t* pixels, int pitch) override {
        ++presents;
        last.assign(pixels, pixels + static_cast<size_t>(pitch / 4) * height);
    }
    void close() override { ++closes; }

    bool acceptOpen = true;
    int opens = 0, presents = 0, closes = 0;
    int width = 0, height = 0;
    bool fullScreen = false;
    std::vector<uint32_t> last;
};

// A display initialised on a recording screen.
class DisplayFixture : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(display.Init(&screen, 640, 480, 32, 0, true)); }
    void TearDown() override { display.Release(); }

    uint32_t backPixel(int x, int y) { return display.backSurface()->pixel(x, y); }

    // Counts the back surface's pixels equal to value inside [left, right) x [top, bottom).
    int countPixels(uint32_t value, int left, int top, int right, int bottom) {
        int n = 0;
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x)
                n += backPixel(x, y) == value;
        return n;
    }

    RecordingScreen screen;
    Display display;
};

}  // namespace quelvane
