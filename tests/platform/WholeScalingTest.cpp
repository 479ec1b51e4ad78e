#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/WholeScaling.h"
#include "platform/WidenedPicture.h"

namespace {

using namespace platform;

using Scaler = void (*)(const uint32_t*, int, int, int, int, const PixelRows&);

constexpr uint32_t kOutside = 0xDEADBEEF;
// Where the scaled picture goes in its target: a margin on every side, and a row length that is
// no multiple of anything.
constexpr int kLeft = 5, kTop = 2, kRightMargin = 7, kBottomMargin = 3;

// A width x height picture whose rows are padded by 3 pixels.
struct Picture {
    Picture(int w, int h) : width(w), height(h), pixels(static_cast<size_t>(w + 3) * h) {
        for (size_t i = 0; i < pixels.size(); ++i)
            pixels[i] = static_cast<uint32_t>(i * 2654435761u) | 1;
    }
    int pitchPixels() const { return width + 3; }
    uint32_t& at(int x, int y) { return pixels[static_cast<size_t>(y) * pitchPixels() + x]; }
    int width, height;
    std::vector<uint32_t> pixels;
};

struct Target {
    Target(const Picture& p, int factor)
        : width(p.width * factor + kLeft + kRightMargin),
          height(p.height * factor + kTop + kBottomMargin),
          pixels(static_cast<size_t>(width) * height, kOutside) {}
    PixelRows rows() {
        return {pixels.data() + static_cast<std::ptrdiff_t>(kTop) * width + kLeft, width * 4};
    }
    int width, height;
    std::vector<uint32_t> pixels;
};

// Every target pixel against nearest-pixel sampling: inside the square the source pixel it falls
// in, outside it untouched.
void expectNearestPixels(Picture& p, int factor, const Target& t) {
    int wrong = 0;
    for (int y = 0; y < t.height; ++y) {
        for (int x = 0; x < t.width; ++x) {
            const int sx = x - kLeft, sy = y - kTop;
            const bool inside =
                sx >= 0 && sy >= 0 && sx < p.width * factor && sy < p.height * factor;
            const uint32_t expected = inside ? p.at(sx / factor, sy / factor) : kOutside;
            if (t.pixels[static_cast<size_t>(y) * t.width + x] != expected && ++wrong <= 3)
                ADD_FAILURE() << "pixel " << x << ", " << y << " of " << p.width << " x "
                              << p.height << " by " << factor;
        }
    }
}

void expectEverySizeAndFactor(Scaler scale) {
    const int sizes[][2] = {{1, 1}, {3, 2}, {4, 4}, {7, 5}, {9, 3}, {13, 1}, {64, 3}};
    for (const auto& size : sizes) {
        for (int factor = 1; factor <= 5; ++factor) {
            Picture p(size[0], size[1]);
            Target t(p, factor);
            scale(p.pixels.data(), p.pitchPixels() * 4, p.width, p.height, factor, t.rows());
            expectNearestPixels(p, factor, t);
        }
    }
}

TEST(WholeScalingTest, PortableWideningMatchesNearestPixelSampling) {
    expectEverySizeAndFactor(scaleWholePortable);
}

#ifdef __SSE2__
TEST(WholeScalingTest, Sse2WideningMatchesNearestPixelSampling) {
    expectEverySizeAndFactor(scaleWholeSse2);
}
#endif

// Pictures given one after the other, each changed a little from the last, at the ends of rows,
// across runs and back again, then the target spoilt and forgotten, then changed all over: each
// time the target holds exactly the last picture.
TEST(WholeScalingTest, WideningOnlyWhatChangedLeavesTheWholePicture) {
    for (int factor : {1, 2, 3, 5}) {
        Picture p(37, 6);
        Target t(p, factor);
        WidenedPicture widened;
        const auto widen = [&] {
            widened.widen(p.pixels.data(), p.pitchPixels() * 4, p.width, p.height, factor,
                          t.rows());
            expectNearestPixels(p, factor, t);
        };
        widen();
        const uint32_t first = p.at(0, 0);
        p.at(0, 0) = 7;
        p.at(36, 5) = 8;
        widen();
        p.at(0, 0) = first;  // back as it was two pictures ago
        for (int x = 10; x < 35; ++x)
            p.at(x, 3) = 9;
        p.at(31, 2) = 10;
        widen();
        widen();
        t.rows().pixels[0] = 0;
        widened.forget();
        widen();
        // A picture changed all over, then a dozen pixels changed, each in a run of its own, then
        // back one after another.
        for (uint32_t& pixel : p.pixels)
            pixel ^= 0x10;
        widen();
        const auto dozen = [&](int k) -> uint32_t& { return p.at(16 * (k % 3), k / 3 + 1); };
        for (int k = 0; k < 12; ++k)
            dozen(k) ^= 0x20;
        widen();
        for (int k = 0; k < 12; ++k) {
            dozen(k) ^= 0x20;
            widen();
        }
    }
}

}  // namespace
