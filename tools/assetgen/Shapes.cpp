#include "tools/assetgen/Shapes.h"

#include <algorithm>
#include <cmath>

namespace assetgen {

float coverage(const Inside& inside, int px, int py) {
    int hits = 0;
    for (int sy = 0; sy < 4; ++sy) {
        for (int sx = 0; sx < 4; ++sx) {
            if (inside(static_cast<float>(px) + (static_cast<float>(sx) + 0.5f) / 4.0f,
                       static_cast<float>(py) + (static_cast<float>(sy) + 0.5f) / 4.0f)) {
                ++hits;
            }
        }
    }
    return static_cast<float>(hits) / 16.0f;
}

void fillShape(Image& image, const Inside& inside, uint32_t colour, float alpha) {
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            image.blend(x, y, colour, coverage(inside, x, y) * alpha);
        }
    }
}

void shadeShape(Image& image, const Inside& inside,
                const std::function<uint32_t(float x, float y)>& colourAt) {
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            float c = coverage(inside, x, y);
            if (c > 0.0f) {
                image.blend(
                    x, y, colourAt(static_cast<float>(x) + 0.5f, static_cast<float>(y) + 0.5f), c);
            }
        }
    }
}

void fillCircle(Image& image, float cx, float cy, float radius, uint32_t colour, float alpha) {
    fillShape(
        image,
        [=](float x, float y) {
            return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= radius * radius;
        },
        colour, alpha);
}

void fillRing(Image& image, float cx, float cy, float inner, float outer, uint32_t colour,
              float alpha) {
    fillShape(
        image,
        [=](float x, float y) {
            float d2 = (x - cx) * (x - cx) + (y - cy) * (y - cy);
            return d2 <= outer * outer && d2 >= inner * inner;
        },
        colour, alpha);
}

float segmentDistance(float px, float py, float x0, float y0, float x1, float y1) {
    float dx = x1 - x0;
    float dy = y1 - y0;
    float len2 = dx * dx + dy * dy;
    float t = len2 > 0.0f ? std::clamp(((px - x0) * dx + (py - y0) * dy) / len2, 0.0f, 1.0f) : 0.0f;
    float ex = px - (x0 + t * dx);
    float ey = py - (y0 + t * dy);
    return std::sqrt(ex * ex + ey * ey);
}

void drawLine(Image& image, float x0, float y0, float x1, float y1, float thickness,
              uint32_t colour, float alpha) {
    float half = thickness / 2.0f;
    fillShape(
        image, [=](float x, float y) { return segmentDistance(x, y, x0, y0, x1, y1) <= half; },
        colour, alpha);
}

void glow(Image& image, float cx, float cy, float radius, uint32_t colour, float strength) {
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            float dx = static_cast<float>(x) + 0.5f - cx;
            float dy = static_cast<float>(y) + 0.5f - cy;
            float d = std::sqrt(dx * dx + dy * dy) / radius;
            if (d < 1.0f) {
                float fall = (1.0f - d) * (1.0f - d);
                image.addLight(x, y, colour, fall * strength);
            }
        }
    }
}

uint32_t litColour(uint32_t base, float nx, float ny, float shine) {
    float nz = std::sqrt(std::max(0.0f, 1.0f - nx * nx - ny * ny));
    const float lx = -0.45f, ly = -0.6f, lz = 0.66f;
    float diffuse = std::max(0.0f, nx * lx + ny * ly + nz * lz);
    // Half vector between the light and the viewer (0, 0, 1).
    float hx = lx, hy = ly, hz = lz + 1.0f;
    float hl = std::sqrt(hx * hx + hy * hy + hz * hz);
    float spec = std::pow(std::max(0.0f, (nx * hx + ny * hy + nz * hz) / hl), 24.0f) * shine;
    uint32_t lit = scaleColour(base, 0.35f + 0.85f * diffuse);
    return mixColour(lit, rgb(255, 255, 255), std::min(spec, 1.0f));
}

Inside polygon(std::vector<std::pair<float, float>> points) {
    return [points = std::move(points)](float x, float y) {
        bool inside = false;
        for (size_t i = 0, j = points.size() - 1; i < points.size(); j = i++) {
            auto [xi, yi] = points[i];
            auto [xj, yj] = points[j];
            if ((yi > y) != (yj > y) && x < (xj - xi) * (y - yi) / (yj - yi) + xi) {
                inside = !inside;
            }
        }
        return inside;
    };
}

void fillEllipsoid(Image& image, float cx, float cy, float rx, float ry, uint32_t base,
                   float shine) {
    shadeShape(
        image,
        [=](float x, float y) {
            float u = (x - cx) / rx;
            float v = (y - cy) / ry;
            return u * u + v * v <= 1.0f;
        },
        [=](float x, float y) {
            float u = std::clamp((x - cx) / rx, -1.0f, 1.0f);
            float v = std::clamp((y - cy) / ry, -1.0f, 1.0f);
            return litColour(base, u * 0.9f, v * 0.9f, shine);
        });
}

}  // namespace assetgen
