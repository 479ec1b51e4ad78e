#include "tools/assetgen/TitleLogo.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "tools/assetgen/Shapes.h"

namespace assetgen {

namespace {

constexpr int kWidth = 486;
constexpr int kHeight = 112;

struct Point {
    float x, y;
};
using Stroke = std::vector<Point>;  // a polyline
struct Glyph {
    float width;  // in letter heights
    std::vector<Stroke> strokes;
};

// Letters drawn as centre lines in a box one unit high; corners are cut for a machined look.
Glyph glyph(char c) {
    const float w = 0.66f, k = 0.16f;
    switch (c) {
        case 'Q':
            return {w,
                    {{{k, 0},
                      {w - k, 0},
                      {w, k},
                      {w, 1 - k},
                      {w - k, 1},
                      {k, 1},
                      {0, 1 - k},
                      {0, k},
                      {k, 0}},
                     {{w * 0.55f, 0.68f}, {w + 0.1f, 1.12f}}}};
        case 'U':
            return {w, {{{0, 0}, {0, 1 - k}, {k, 1}, {w - k, 1}, {w, 1 - k}, {w, 0}}}};
        case 'E':
            return {
                w * 0.9f,
                {{{w * 0.9f, 0}, {0, 0}, {0, 1}, {w * 0.9f, 1}}, {{0, 0.5f}, {w * 0.72f, 0.5f}}}};
        case 'L':
            return {w * 0.85f, {{{0, 0}, {0, 1}, {w * 0.85f, 1}}}};
        case 'V':
            return {w * 1.1f, {{{0, 0}, {w * 0.55f, 1}, {w * 1.1f, 0}}}};
        case 'A':
            return {w * 1.1f,
                    {{{0, 1}, {w * 0.55f, 0}, {w * 1.1f, 1}},
                     {{w * 0.25f, 0.64f}, {w * 0.85f, 0.64f}}}};
        case 'N':
            return {w, {{{0, 1}, {0, 0}, {w, 1}, {w, 0}}}};
        default:
            return {w, {}};
    }
}

struct Segment {
    float x0, y0, x1, y1;
    float clipBottom;  // square ends may not poke out past the letter's cap and base lines
};

// Distance to a segment with square ends, so strokes meet in sharp corners.
float boxDistance(float px, float py, const Segment& s, float half) {
    float dx = s.x1 - s.x0, dy = s.y1 - s.y0;
    float len = std::sqrt(dx * dx + dy * dy);
    float ux = dx / len, uy = dy / len;
    float along = (px - s.x0) * ux + (py - s.y0) * uy;
    float across = std::fabs(-(px - s.x0) * uy + (py - s.y0) * ux);
    float outside = std::max(-half - along, along - len - half);
    return std::max(across - half, outside);
}

}  // namespace

Image titleLogo() {
    const float letterHeight = 56.0f;
    const float half = 5.6f;  // half the stroke width
    const float gap = 2.0f * half + 8.0f;
    const float slant = 0.22f;
    const char* word = "QUELVANE";

    float total = 0.0f;
    for (const char* c = word; *c; ++c) {
        total += glyph(*c).width * letterHeight + (c[1] ? gap : 0.0f);
    }
    const float top = 26.0f;
    float left = (kWidth - total) / 2.0f + slant * letterHeight / 2.0f;

    std::vector<Segment> segments;
    for (const char* c = word; *c; ++c) {
        Glyph g = glyph(*c);
        for (const Stroke& stroke : g.strokes) {
            for (size_t i = 0; i + 1 < stroke.size(); ++i) {
                auto place = [&](Point p) {
                    float y = top + p.y * letterHeight;
                    return Point{left + p.x * letterHeight - slant * (y - top), y};
                };
                Point a = place(stroke[i]), b = place(stroke[i + 1]);
                segments.push_back(
                    {a.x, a.y, b.x, b.y, std::max({top + letterHeight, a.y, b.y}) + half});
            }
        }
        left += g.width * letterHeight + gap;
    }
    auto distance = [&](float x, float y) {
        float d = 1e9f;
        for (const Segment& s : segments) {
            float clip = std::max(top - half - y, y - s.clipBottom);
            d = std::min(d, std::max(boxDistance(x, y, s, half), clip));
        }
        return d;
    };

    Image image(kWidth, kHeight);
    // The light streak behind the letters, brightest in the middle.
    const float streakY = top + letterHeight * 0.52f;
    for (int x = 0; x < kWidth; ++x) {
        float fade = 1.0f - std::fabs(static_cast<float>(x) - kWidth / 2.0f) / (kWidth / 2.0f);
        for (int dy = -2; dy <= 2; ++dy) {
            float a = fade * fade * (dy == 0 ? 1.0f : dy * dy == 1 ? 0.45f : 0.15f);
            image.addLight(x, static_cast<int>(streakY) + dy, rgb(120, 190, 255), a);
        }
    }
    std::vector<float> field(static_cast<size_t>(kWidth) * kHeight);
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            field[static_cast<size_t>(y) * kWidth + x] =
                distance(static_cast<float>(x) + 0.5f, static_cast<float>(y) + 0.5f);
        }
    }
    auto at = [&](int x, int y) {
        x = std::clamp(x, 0, kWidth - 1);
        y = std::clamp(y, 0, kHeight - 1);
        return field[static_cast<size_t>(y) * kWidth + x];
    };
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            float d = at(x, y);
            // Blue halo, then a dark outline, then the chrome face.
            if (d > 2.5f) {
                float halo = std::max(0.0f, 1.0f - (d - 2.5f) / 9.0f);
                image.addLight(x, y, rgb(40, 110, 255), halo * halo * 0.55f);
                continue;
            }
            if (d > -0.5f) {
                image.set(x, y, rgb(10, 12, 34));
                continue;
            }
            // Chrome: sky above the horizon line, warm ground below, a lit bevel on the rim.
            float v = (static_cast<float>(y) - top + half) / (letterHeight + 2.0f * half);
            uint32_t face =
                v < 0.5f
                    ? gradient({rgb(250, 252, 255), rgb(150, 200, 255), rgb(40, 80, 190)}, v / 0.5f)
                    : gradient({rgb(255, 170, 60), rgb(250, 230, 170), rgb(200, 110, 40)},
                               (v - 0.5f) / 0.5f);
            float depth = -d;
            if (depth < 2.5f) {
                float gx = at(x + 1, y) - at(x - 1, y);
                float gy = at(x, y + 1) - at(x, y - 1);
                // The rim faces away from the stroke's centre: lit when that is up and to the left.
                float facing = std::clamp(-(gx * 0.6f + gy * 0.8f) * 0.5f, -1.0f, 1.0f);
                face = facing > 0.0f ? mixColour(face, rgb(255, 255, 255), facing * 0.8f)
                                     : mixColour(face, rgb(20, 30, 90), -facing * 0.6f);
            }
            image.set(x, y, face);
        }
    }
    // A four-pointed glint on the first letter's shoulder.
    const float gx = (kWidth - total) / 2.0f + slant * letterHeight / 2.0f + 6.0f, gy = top + 2.0f;
    drawLine(image, gx - 16.0f, gy, gx + 16.0f, gy, 1.2f, rgb(255, 255, 255), 0.9f);
    drawLine(image, gx, gy - 12.0f, gx, gy + 12.0f, 1.2f, rgb(255, 255, 255), 0.9f);
    glow(image, gx, gy, 6.0f, rgb(255, 255, 255), 0.9f);
    return image;
}

}  // namespace assetgen
