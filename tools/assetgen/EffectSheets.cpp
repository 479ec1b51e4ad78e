#include "tools/assetgen/EffectSheets.h"

#include <algorithm>
#include <cmath>

#include "tools/assetgen/Noise.h"
#include "tools/assetgen/Shapes.h"

namespace assetgen {

namespace {

constexpr float kPi = 3.14159265f;

// Luminance below which a pixel is left transparent, so fading effects break up instead of
// leaving dark blotches over the stars.
constexpr int kDarkest = 14;

int luminance(uint32_t c) {
    return static_cast<int>(((c >> 16) & 0xFF) * 3 + ((c >> 8) & 0xFF) * 6 + (c & 0xFF)) / 10;
}

void dropDarkPixels(Image& image) {
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (luminance(image.at(x, y)) < kDarkest) {
                image.set(x, y, 0);
            }
        }
    }
}

uint32_t fireColour(float heat) {
    static const std::vector<uint32_t> stops = {rgb(60, 14, 8),     rgb(150, 30, 10),
                                                rgb(230, 90, 20),   rgb(255, 170, 40),
                                                rgb(255, 235, 120), rgb(255, 255, 235)};
    return gradient(stops, heat);
}

uint32_t smokeColour(float shade) {
    return gradient({rgb(34, 30, 30), rgb(86, 78, 74), rgb(130, 120, 110)}, shade);
}

// One frame of the missile turned by angle (radians, clockwise), sampled 4 x 4 per pixel.
Image turnedMissile(const Image& missile, float angle) {
    Image frame(21, 22);
    const float cx = 10.5f, cy = 11.0f;
    float c = std::cos(angle), s = std::sin(angle);
    // The missile's picture sits with its body centred: rows 0 to 11 above and below the middle.
    const float artX = static_cast<float>(missile.width()) / 2.0f;
    const float artY = 7.5f;
    // Exhaust: a tapering flame along the tail axis, from just behind the nozzle.
    for (int y = 0; y < 22; ++y) {
        for (int x = 0; x < 21; ++x) {
            float dx = static_cast<float>(x) + 0.5f - cx;
            float dy = static_cast<float>(y) + 0.5f - cy;
            float u = c * dx + s * dy;   // across the missile
            float v = -s * dx + c * dy;  // along it, tail positive
            float along = (v - 3.5f) / 7.0f;
            if (along < 0.0f || along > 1.0f) {
                continue;
            }
            float width = 2.4f * (1.0f - along) + 0.4f;
            float across = std::fabs(u) / width;
            if (across < 1.0f) {
                float heat = (1.0f - along) * (1.0f - across * across);
                frame.addLight(x, y, fireColour(0.55f + 0.45f * heat), 0.6f + 0.6f * heat);
            }
        }
    }
    for (int y = 0; y < 22; ++y) {
        for (int x = 0; x < 21; ++x) {
            int r = 0, g = 0, b = 0, hits = 0;
            for (int sy = 0; sy < 4; ++sy) {
                for (int sx = 0; sx < 4; ++sx) {
                    float dx = static_cast<float>(x) + (static_cast<float>(sx) + 0.5f) / 4.0f - cx;
                    float dy = static_cast<float>(y) + (static_cast<float>(sy) + 0.5f) / 4.0f - cy;
                    float u = c * dx + s * dy;
                    float v = -s * dx + c * dy;
                    uint32_t p = missile.at(static_cast<int>(std::floor(u + artX)),
                                            static_cast<int>(std::floor(v + artY)));
                    if (p != 0) {
                        r += static_cast<int>((p >> 16) & 0xFF);
                        g += static_cast<int>((p >> 8) & 0xFF);
                        b += static_cast<int>(p & 0xFF);
                        ++hits;
                    }
                }
            }
            if (hits > 0) {
                frame.blend(x, y, rgb(r / hits, g / hits, b / hits),
                            static_cast<float>(hits) / 16.0f);
            }
        }
    }
    dropDarkPixels(frame);
    return frame;
}

void bracket(Image& image, float cx, float cy, float size, float angle, uint32_t colour) {
    for (int corner = 0; corner < 4; ++corner) {
        float a = angle + kPi / 4.0f + static_cast<float>(corner) * kPi / 2.0f;
        // Corner point, and the two arms running back along the square's sides.
        float px = cx + size * std::sqrt(2.0f) * std::sin(a);
        float py = cy - size * std::sqrt(2.0f) * std::cos(a);
        float arm = size * 0.55f;
        float a1 = a + kPi * 3.0f / 4.0f;
        float a2 = a - kPi * 3.0f / 4.0f;
        drawLine(image, px, py, px + arm * std::sin(a1), py - arm * std::cos(a1), 1.7f, colour);
        drawLine(image, px, py, px + arm * std::sin(a2), py - arm * std::cos(a2), 1.7f, colour);
    }
}

}  // namespace

Image rocketFrames(const Image& missile) {
    Image sheet(21, 22 * 36);
    for (int h = 0; h < 36; ++h) {
        sheet.drawOver(turnedMissile(missile, static_cast<float>(h) * 10.0f * kPi / 180.0f), 0,
                       22 * h);
    }
    return sheet;
}

Image targetMarker() {
    Image sheet(47, 47 * 10);
    const float cx = 23.5f, cy = 23.5f;
    for (int f = 0; f < 10; ++f) {
        float t = static_cast<float>(f) / 9.0f;
        float ease = 1.0f - (1.0f - t) * (1.0f - t);
        Image frame(47, 47);
        float angle = kPi / 4.0f * (1.0f - ease);
        float size = 22.0f - 8.0f * ease;
        // Keep the swung-out corners inside the frame.
        size = std::min(size, 22.0f / (std::cos(angle) + std::sin(angle)));
        uint32_t colour = mixColour(rgb(255, 210, 60), rgb(255, 50, 40), ease);
        bracket(frame, cx, cy, size, angle, colour);
        if (f >= 6) {
            float ring = 5.5f + 3.0f * static_cast<float>(9 - f);
            fillRing(frame, cx, cy, ring - 0.8f, ring + 0.8f, colour, 0.8f);
        }
        if (f == 9) {
            // Locked: cross-hair ticks and a bright centre.
            for (int k = 0; k < 4; ++k) {
                float a = static_cast<float>(k) * kPi / 2.0f;
                drawLine(frame, cx + 3.0f * std::sin(a), cy - 3.0f * std::cos(a),
                         cx + 9.0f * std::sin(a), cy - 9.0f * std::cos(a), 1.4f, rgb(255, 90, 70));
            }
            fillCircle(frame, cx, cy, 1.4f, rgb(255, 240, 220));
        }
        sheet.drawOver(frame, 0, 47 * f);
    }
    return sheet;
}

Image explosionSheet() {
    Image sheet(66 * 7, 66);
    const float cx = 33.0f, cy = 33.0f;
    // Per cell: radius, heat, how much is smoke, how much of the edge has broken away.
    const float radius[7] = {9.0f, 15.0f, 20.0f, 23.5f, 25.5f, 26.5f, 27.0f};
    const float heat[7] = {1.25f, 1.05f, 0.85f, 0.65f, 0.45f, 0.25f, 0.12f};
    const float smoke[7] = {0.0f, 0.0f, 0.1f, 0.3f, 0.55f, 0.8f, 1.0f};
    const float holes[7] = {0.0f, 0.0f, 0.05f, 0.12f, 0.25f, 0.42f, 0.6f};
    for (int cell = 0; cell < 7; ++cell) {
        Image frame(66, 66);
        uint32_t seed = 700u + static_cast<uint32_t>(cell);
        for (int y = 0; y < 66; ++y) {
            for (int x = 0; x < 66; ++x) {
                float dx = static_cast<float>(x) + 0.5f - cx;
                float dy = static_cast<float>(y) + 0.5f - cy;
                float d = std::sqrt(dx * dx + dy * dy);
                // Turbulence moves outwards as the cloud grows.
                float n =
                    Noise::fractal(static_cast<float>(x) * 0.16f + static_cast<float>(cell) * 0.7f,
                                   static_cast<float>(y) * 0.16f, 31);
                float edge = radius[cell] * (0.78f + 0.3f * n);
                if (d > edge || d > 27.0f || (x < 5 || y < 5 || x > 60 || y > 60)) {
                    continue;
                }
                float depth = 1.0f - d / edge;
                if (Noise::fractal(static_cast<float>(x) * 0.3f, static_cast<float>(y) * 0.3f,
                                   seed) < holes[cell] * (1.2f - depth)) {
                    continue;
                }
                float h = std::clamp(heat[cell] * (0.35f + 0.9f * depth) * (0.75f + 0.5f * n), 0.0f,
                                     1.0f);
                uint32_t fire = fireColour(h);
                uint32_t puff = smokeColour(n * 0.8f + depth * 0.3f);
                uint32_t c = mixColour(fire, puff, smoke[cell] * (1.0f - 0.5f * h));
                frame.set(x, y, c);
            }
        }
        if (cell == 0) {
            glow(frame, cx, cy, 22.0f, rgb(255, 230, 160), 0.8f);
            for (int k = 0; k < 8; ++k) {
                float a = static_cast<float>(k) * kPi / 4.0f + 0.2f;
                drawLine(frame, cx + 6.0f * std::cos(a), cy + 6.0f * std::sin(a),
                         cx + 20.0f * std::cos(a), cy + 20.0f * std::sin(a), 1.2f,
                         rgb(255, 240, 190), 0.8f);
            }
        } else if (cell <= 3) {
            glow(frame, cx, cy, radius[cell] * 0.9f, rgb(255, 200, 90),
                 0.5f - 0.1f * static_cast<float>(cell));
        }
        // Sparks and embers flung out from the centre.
        Noise sparks(900u + static_cast<uint32_t>(cell));
        int count = cell == 0 ? 0 : 14 - cell;
        for (int k = 0; k < count; ++k) {
            float a = sparks.range(0.0f, 2.0f * kPi);
            float r = std::min(radius[cell] * sparks.range(0.9f, 1.15f) + 2.0f, 26.0f);
            float px = cx + r * std::cos(a), py = cy + r * std::sin(a);
            uint32_t c = cell < 4 ? rgb(255, 230, 140) : rgb(255, 130, 50);
            frame.set(static_cast<int>(px), static_cast<int>(py), c);
        }
        dropDarkPixels(frame);
        sheet.drawOver(frame, 66 * cell, 0);
    }
    return sheet;
}

Image blastSheet() {
    Image sheet(64 * 12, 64);
    const float cx = 32.0f, cy = 32.0f;
    for (int f = 0; f < 12; ++f) {
        float t = static_cast<float>(f) / 11.0f;
        Image frame(64, 64);
        // Fireball: grows quickly, then burns down from white through orange to dark red embers.
        float fireRadius = 6.0f + 16.0f * std::sqrt(std::min(t * 1.6f, 1.0f));
        float burn = std::max(0.0f, 1.0f - t * 1.05f);
        for (int y = 0; y < 64; ++y) {
            for (int x = 0; x < 64; ++x) {
                float dx = static_cast<float>(x) + 0.5f - cx;
                float dy = static_cast<float>(y) + 0.5f - cy;
                float d = std::sqrt(dx * dx + dy * dy);
                float n = Noise::fractal(static_cast<float>(x) * 0.14f,
                                         static_cast<float>(y) * 0.14f + t * 2.0f, 77);
                float edge = fireRadius * (0.75f + 0.35f * n);
                if (d > edge) {
                    continue;
                }
                float depth = 1.0f - d / edge;
                if (t > 0.45f &&
                    Noise::fractal(static_cast<float>(x) * 0.35f, static_cast<float>(y) * 0.35f,
                                   78 + f) < (t - 0.45f) * 1.3f * (1.1f - depth)) {
                    continue;
                }
                float h = std::clamp(burn * (0.4f + 0.8f * depth) * (0.7f + 0.6f * n), 0.0f, 1.0f);
                frame.set(x, y, fireColour(h));
            }
        }
        // Shock ring: a thin plasma wave racing out to the frame's edge, thinning as it goes.
        float ring = 8.0f + 23.0f * std::sqrt(t);
        float thickness = 3.5f * (1.0f - t) + 0.8f;
        float ringAlpha = f == 11 ? 0.0f : 1.0f - t * 0.6f;
        if (ringAlpha > 0.0f) {
            fillRing(frame, cx, cy, ring - thickness / 2.0f, ring + thickness / 2.0f,
                     mixColour(rgb(220, 250, 255), rgb(90, 170, 255), t), ringAlpha);
        }
        if (f <= 2) {
            glow(frame, cx, cy, 20.0f - 4.0f * static_cast<float>(f), rgb(255, 255, 230),
                 1.0f - 0.3f * static_cast<float>(f));
        }
        dropDarkPixels(frame);
        sheet.drawOver(frame, 64 * f, 0);
    }
    return sheet;
}

}  // namespace assetgen
