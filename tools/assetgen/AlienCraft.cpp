#include "tools/assetgen/AlienCraft.h"

#include <cmath>

#include "tools/assetgen/Shapes.h"

namespace assetgen {

namespace {

constexpr float kCentre = 20.5f;

void pincer(Image& image, bool mirrored) {
    auto mx = [&](float x) { return mirrored ? 41.0f - x : x; };
    const float pts[5][2] = {
        {10.0f, 17.0f}, {5.5f, 22.0f}, {4.5f, 28.0f}, {7.5f, 33.0f}, {12.5f, 35.0f}};
    const float widths[4] = {5.0f, 4.2f, 3.4f, 2.2f};
    for (int i = 0; i < 4; ++i) {
        drawLine(image, mx(pts[i][0]), pts[i][1], mx(pts[i + 1][0]), pts[i + 1][1], widths[i],
                 rgb(74, 30, 96));
    }
    for (int i = 0; i < 4; ++i) {
        float shift = mirrored ? 0.4f : -0.6f;
        drawLine(image, mx(pts[i][0]) + shift, pts[i][1] - 0.3f, mx(pts[i + 1][0]) + shift,
                 pts[i + 1][1] - 0.3f, widths[i] * 0.35f, rgb(176, 110, 210), 0.8f);
    }
    fillCircle(image, mx(12.8f), 35.0f, 1.3f, rgb(255, 120, 200));
}

}  // namespace

Image alienCraft() {
    Image image(41, 37);
    pincer(image, false);
    pincer(image, true);

    // Cannon under the hull.
    shadeShape(
        image,
        [](float x, float y) { return std::fabs(x - kCentre) <= 2.6f && y >= 21.0f && y <= 28.0f; },
        [](float x, float) {
            return litColour(rgb(120, 124, 150), (x - kCentre) / 3.0f, 0.0f, 0.6f);
        });
    fillCircle(image, kCentre, 28.3f, 2.0f, rgb(170, 255, 140));
    glow(image, kCentre, 28.5f, 4.5f, rgb(90, 255, 90), 0.7f);

    // Hull, with a darker keel line and a lighter rim.
    fillEllipsoid(image, kCentre, 16.5f, 20.3f, 8.2f, rgb(138, 64, 170), 0.55f);
    fillShape(
        image,
        [](float x, float y) {
            float u = (x - kCentre) / 19.0f;
            float d = 16.8f + 5.2f * std::sqrt(std::max(0.0f, 1.0f - u * u));
            return std::fabs(u) < 0.97f && std::fabs(y - d) < 0.7f;
        },
        rgb(48, 16, 66), 0.85f);

    // Running lights along the rim, warm, each with a halo.
    const float lights[5] = {5.0f, 12.0f, kCentre, 29.0f, 36.0f};
    for (int i = 0; i < 5; ++i) {
        float y = 17.2f + (i == 2 ? 2.6f : (i == 1 || i == 3 ? 1.6f : 0.0f));
        uint32_t c = i % 2 == 0 ? rgb(255, 170, 60) : rgb(255, 70, 60);
        fillCircle(image, lights[i], y, 1.25f, c);
        glow(image, lights[i], y, 3.2f, c, 0.45f);
    }

    // Eye dome: green glass, a glowing core, a sharp highlight.
    fillEllipsoid(image, kCentre, 11.5f, 9.0f, 8.0f, rgb(40, 170, 70), 1.0f);
    fillCircle(image, kCentre, 12.0f, 3.4f, rgb(40, 110, 40));
    fillCircle(image, kCentre, 12.0f, 2.2f, rgb(210, 255, 150));
    glow(image, kCentre, 12.0f, 6.0f, rgb(120, 255, 120), 0.5f);
    fillCircle(image, kCentre - 3.6f, 7.4f, 1.3f, rgb(235, 255, 235), 0.9f);
    return image;
}

}  // namespace assetgen
