#include "platform/PausedBanner.h"

#include <array>
#include <cstddef>

namespace platform {

namespace {

constexpr int kGlyphWidth = 5;
constexpr int kGlyphHeight = 7;
constexpr int kScale = 4;    // screen pixels per glyph pixel
constexpr int kSpacing = 1;  // glyph pixels between letters
constexpr int kMargin = 3;   // glyph pixels between the letters and the box's edge
constexpr uint32_t kInk = 0x00FFFFFF;
constexpr uint32_t kBox = 0x00000000;
constexpr uint32_t kFrame = 0x00808080;

using Glyph = std::array<const char*, kGlyphHeight>;
constexpr std::array<Glyph, 6> kPaused{{
    {"####.", "#...#", "#...#", "####.", "#....", "#....", "#...."},
    {".....", ".....", ".###.", "....#", ".####", "#...#", ".####"},
    {".....", ".....", "#...#", "#...#", "#...#", "#..##", ".##.#"},
    {".....", ".....", ".####", "#....", ".###.", "....#", "####."},
    {".....", ".....", ".###.", "#...#", "#####", "#....", ".###."},
    {"....#", "....#", ".##.#", "#..##", "#...#", "#...#", ".####"},
}};

}  // namespace

void drawPausedBanner(uint32_t* pixels, int width, int height, int pitch) {
    constexpr int kTextWidth =
        static_cast<int>(kPaused.size()) * (kGlyphWidth + kSpacing) - kSpacing;
    constexpr int kBoxWidth = (kTextWidth + 2 * kMargin) * kScale;
    constexpr int kBoxHeight = (kGlyphHeight + 2 * kMargin) * kScale;
    if (!pixels || width < kBoxWidth || height < kBoxHeight)
        return;
    const int left = (width - kBoxWidth) / 2;
    const int top = (height - kBoxHeight) / 2;
    auto row = [&](int y) { return pixels + static_cast<long>(y) * (pitch / 4); };
    for (int y = 0; y < kBoxHeight; ++y) {
        const bool edgeRow = y == 0 || y == kBoxHeight - 1;
        for (int x = 0; x < kBoxWidth; ++x)
            row(top + y)[left + x] = edgeRow || x == 0 || x == kBoxWidth - 1 ? kFrame : kBox;
    }
    for (std::size_t g = 0; g < kPaused.size(); ++g) {
        const int glyphLeft =
            left + (kMargin + static_cast<int>(g) * (kGlyphWidth + kSpacing)) * kScale;
        for (int gy = 0; gy < kGlyphHeight; ++gy) {
            for (int gx = 0; gx < kGlyphWidth; ++gx) {
                if (kPaused[g][gy][gx] != '#')
                    continue;
                for (int dy = 0; dy < kScale; ++dy) {
                    uint32_t* out = row(top + (kMargin + gy) * kScale + dy) + glyphLeft +
                                    gx * std::ptrdiff_t{kScale};
                    for (int dx = 0; dx < kScale; ++dx)
                        out[dx] = kInk;
                }
            }
        }
    }
}

}  // namespace platform
