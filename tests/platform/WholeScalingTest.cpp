#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/WholeScaling.h"

namespace {

using namespace platform;

using Scaler = void (*)(const uint32_t*, int, int, int, int, const PixelRows&);

constexpr uint32_t kOutside = 0xDEADBEEF;

// Scales a width x height picture, whose rows are padded, into the middle of a larger target,
// and checks every target pixel against nearest-pixel sampling: inside the square the source pixel
// it falls in, outside it untouched.
void expectScaledLikeTheReference(Scaler scale, int width, int height, int factor) {
    const int sourcePitchPixels = width + 3;
    std::vector<uint32_t> source(static_cast<size_t>(sourcePitchPixels) * height);
    for (size_t i = 0; i < source.size(); ++i)
        source[i] = static_cast<uint32_t>(i * 2654435761u) | 1;
    // A margin on every side, and a row length that is no multiple of anything.
    const int left = 5, top = 2;
    const int targetWidth = width * factor + left + 7;
    const int targetHeight = height * factor + top + 3;
    std::vector<uint32_t> target(static_cast<size_t>(targetWidth) * targetHeight, kOutside);
    scale(source.data(), sourcePitchPixels * 4, width, height, factor,
          {target.data() + static_cast<std::ptrdiff_t>(top) * targetWidth + left, targetWidth * 4});

    int wrong = 0;
    for (int y = 0; y < targetHeight; ++y) {
        for (int x = 0; x < targetWidth; ++x) {
            const int sx = x - left, sy = y - top;
            const bool inside = sx >= 0 && sy >= 0 && sx < width * factor && sy < height * factor;
            const uint32_t expected =
                inside ? source[static_cast<size_t>(sy / factor) * sourcePitchPixels + sx / factor]
                       : kOutside;
            if (target[static_cast<size_t>(y) * targetWidth + x] != expected && ++wrong <= 3)
                ADD_FAILURE() << "pixel " << x << ", " << y << " of " << width << " x " << height
                              << " by " << factor;
        }
    }
}

void expectEverySizeAndFactor(Scaler scale) {
    const int sizes[][2] = {{1, 1}, {3, 2}, {4, 4}, {7, 5}, {9, 3}, {13, 1}, {64, 3}};
    for (const auto& size : sizes) {
        for (int factor = 1; factor <= 5; ++factor)
            expectScaledLikeTheReference(scale, size[0], size[1], factor);
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

}  // namespace
