#include "tools/assetgen/Image.h"

#include <algorithm>
#include <cmath>

namespace assetgen {

namespace {

int channel(uint32_t c, int shift) {
    return static_cast<int>((c >> shift) & 0xFF);
}

int clampByte(float v) {
    return std::clamp(static_cast<int>(std::lround(v)), 0, 255);
}

}  // namespace

uint32_t rgb(int r, int g, int b) {
    return (static_cast<uint32_t>(std::clamp(r, 0, 255)) << 16) |
           (static_cast<uint32_t>(std::clamp(g, 0, 255)) << 8) |
           static_cast<uint32_t>(std::clamp(b, 0, 255));
}

uint32_t mixColour(uint32_t a, uint32_t b, float t) {
    t = std::clamp(t, 0.0f, 1.0f);
    auto mixChannel = [&](int shift) {
        return clampByte(channel(a, shift) + (channel(b, shift) - channel(a, shift)) * t);
    };
    return rgb(mixChannel(16), mixChannel(8), mixChannel(0));
}

uint32_t scaleColour(uint32_t c, float factor) {
    return rgb(clampByte(channel(c, 16) * factor), clampByte(channel(c, 8) * factor),
               clampByte(channel(c, 0) * factor));
}

uint32_t gradient(const std::vector<uint32_t>& stops, float t) {
    if (stops.size() == 1) {
        return stops[0];
    }
    float pos = std::clamp(t, 0.0f, 1.0f) * static_cast<float>(stops.size() - 1);
    size_t i = std::min(static_cast<size_t>(pos), stops.size() - 2);
    return mixColour(stops[i], stops[i + 1], pos - static_cast<float>(i));
}

Image::Image(int width, int height, uint32_t fill)
    : w(width), h(height), pixels(static_cast<size_t>(width) * height, fill) {}

uint32_t Image::at(int x, int y) const {
    if (x < 0 || y < 0 || x >= w || y >= h) {
        return 0;
    }
    return pixels[static_cast<size_t>(y) * w + x];
}

void Image::set(int x, int y, uint32_t colour) {
    if (x < 0 || y < 0 || x >= w || y >= h) {
        return;
    }
    pixels[static_cast<size_t>(y) * w + x] = colour;
}

void Image::blend(int x, int y, uint32_t colour, float alpha) {
    if (alpha <= 0.0f) {
        return;
    }
    set(x, y, mixColour(at(x, y), colour, alpha));
}

void Image::addLight(int x, int y, uint32_t colour, float amount) {
    if (amount <= 0.0f) {
        return;
    }
    uint32_t c = at(x, y);
    set(x, y,
        rgb(clampByte(channel(c, 16) + channel(colour, 16) * amount),
            clampByte(channel(c, 8) + channel(colour, 8) * amount),
            clampByte(channel(c, 0) + channel(colour, 0) * amount)));
}

void Image::drawOver(const Image& source, int x, int y) {
    for (int sy = 0; sy < source.h; ++sy) {
        for (int sx = 0; sx < source.w; ++sx) {
            uint32_t c = source.at(sx, sy);
            if (c != 0) {
                set(x + sx, y + sy, c);
            }
        }
    }
}

Image Image::crop(int x, int y, int width, int height) const {
    Image out(width, height);
    for (int cy = 0; cy < height; ++cy) {
        for (int cx = 0; cx < width; ++cx) {
            out.set(cx, cy, at(x + cx, y + cy));
        }
    }
    return out;
}

Image Image::scaled(int factor) const {
    Image out(w * factor, h * factor);
    for (int y = 0; y < out.h; ++y) {
        for (int x = 0; x < out.w; ++x) {
            out.set(x, y, at(x / factor, y / factor));
        }
    }
    return out;
}

void Image::fillTransparent(uint32_t colour) {
    std::replace(pixels.begin(), pixels.end(), 0u, colour);
}

quelvane::Bitmap Image::toBitmap() const {
    quelvane::Bitmap bitmap;
    bitmap.width = w;
    bitmap.height = h;
    bitmap.pixels = pixels;
    return bitmap;
}

}  // namespace assetgen
