#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "game/gfx/Display.h"
#include "platform/Window.h"

// A display initialised on a window of SDL's dummy video driver.
class DisplayFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        window = platform::Window::create("test", 640, 480, nullptr);
        ASSERT_TRUE(window);
        ASSERT_TRUE(display.Init(window.get(), 640, 480, 32, 0, true));
    }
    void TearDown() override {
        display.Release();
        window.reset();
    }

    uint32_t backPixel(int x, int y) { return display.backSurface()->pixel(x, y); }

    // Counts the back surface's pixels equal to value inside [left, right) x [top, bottom).
    int countPixels(uint32_t value, int left, int top, int right, int bottom) {
        int n = 0;
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x)
                n += backPixel(x, y) == value;
        return n;
    }

    std::unique_ptr<platform::Window> window;
    Display display;
};
