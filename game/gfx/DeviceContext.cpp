#include "game/gfx/DeviceContext.h"

#include <cstdlib>
#include <utility>

#include "game/gfx/Font.h"
#include "game/gfx/Surface.h"

namespace quelvane {

ColorRef DeviceContext::getPixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= target_.width() || y >= target_.height())
        return kInvalidColour;
    return colourFromPixel(target_.pixel(x, y));
}

void DeviceContext::setPixel(int x, int y, ColorRef colour) {
    if (x < 0 || y < 0 || x >= target_.width() || y >= target_.height())
        return;
    target_.data()[static_cast<size_t>(y) * target_.width() + x] = pixelFromColour(colour);
}

const Font* DeviceContext::selectFont(const Font* font) {
    return std::exchange(font_, font);
}
Pen DeviceContext::selectPen(Pen pen) {
    return std::exchange(pen_, pen);
}
BackgroundMode DeviceContext::setBkMode(BackgroundMode mode) {
    return std::exchange(bkMode_, mode);
}
ColorRef DeviceContext::setBkColor(ColorRef colour) {
    return std::exchange(bkColor_, colour);
}
ColorRef DeviceContext::setTextColor(ColorRef colour) {
    return std::exchange(textColor_, colour);
}

void DeviceContext::moveTo(int x, int y) {
    penX_ = x;
    penY_ = y;
}

void DeviceContext::lineTo(int x, int y) {
    // Bresenham's walk, stopping one step short of the end point.
    int cx = penX_, cy = penY_;
    const int dx = std::abs(x - cx), sx = cx < x ? 1 : -1;
    const int dy = -std::abs(y - cy), sy = cy < y ? 1 : -1;
    int err = dx + dy;
    while (cx != x || cy != y) {
        setPixel(cx, cy, pen_.colour);
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            cx += sx;
        }
        if (e2 <= dx) {
            err += dx;
            cy += sy;
        }
    }
    moveTo(x, y);
}

void DeviceContext::textOut(int x, int y, std::string_view text) {
    const Font* font = font_ ? font_ : Font::stock();
    if (!font)
        return;
    font->draw(target_, x, y, text, textColor_, bkMode_ == BackgroundMode::Opaque, bkColor_);
}

}  // namespace quelvane
