#include "game/gfx/DeviceContext.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <utility>

#include "game/gfx/Font.h"
#include "game/gfx/Surface.h"

namespace quelvane {

ColourRef DeviceContext::getPixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= target_.width() || y >= target_.height())
        return kInvalidColour;
    return colourFromPixel(target_.pixel(x, y));
}

void DeviceContext::setPixel(int x, int y, ColourRef colour) {
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
ColourRef DeviceContext::setBkColor(ColourRef colour) {
    return std::exchange(bkColor_, colour);
}
ColourRef DeviceContext::setTextColor(ColourRef colour) {
    return std::exchange(textColor_, colour);
}

void DeviceContext::moveTo(int x, int y) {
    penX_ = x;
    penY_ = y;
}

void DeviceContext::lineTo(int x, int y) {
    plotLine(penX_, penY_, x, y);
    moveTo(x, y);
}

void DeviceContext::plotLine(int x0, int y0, int x1, int y1) {
    // One pixel per step along the longer axis, the other coordinate rounded to the nearest pixel
    // (halves away from the start); the end point is left out. In 64 bits, and only the steps whose
    // longer-axis coordinate lies on the surface are walked, so a line of any length costs at most
    // one row or column.
    const int64_t dx = int64_t{x1} - x0, dy = int64_t{y1} - y0;
    const bool xMajor = std::llabs(dx) >= std::llabs(dy);
    const int64_t major0 = xMajor ? x0 : y0, minor0 = xMajor ? y0 : x0;
    const int64_t dMajor = xMajor ? dx : dy, dMinor = xMajor ? dy : dx;
    const int64_t steps = std::llabs(dMajor), rise = std::llabs(dMinor);
    const int64_t majorSign = dMajor < 0 ? -1 : 1, minorSign = dMinor < 0 ? -1 : 1;
    const int64_t extent = xMajor ? target_.width() : target_.height();
    // Steps i with 0 <= major0 + majorSign * i < extent.
    const int64_t first =
        majorSign > 0 ? std::max<int64_t>(0, -major0) : std::max<int64_t>(0, major0 - extent + 1);
    const int64_t last =
        majorSign > 0 ? std::min(steps, extent - major0) : std::min(steps, major0 + 1);
    for (int64_t i = first; i < last; ++i) {
        const int64_t major = major0 + majorSign * i;
        // Up to 2^65 for a line across the whole int range, hence 128 bits.
        const auto offset = static_cast<int64_t>((__int128{2} * i * rise + steps) / (__int128{2} * steps));
        const int64_t minor = minor0 + minorSign * offset;
        if (minor < 0 || minor >= (xMajor ? target_.height() : target_.width()))
            continue;
        const int px = static_cast<int>(xMajor ? major : minor);
        const int py = static_cast<int>(xMajor ? minor : major);
        setPixel(px, py, pen_.colour);
    }
}

void DeviceContext::textOut(int x, int y, std::string_view text) {
    const Font* font = font_ ? font_ : Font::stock();
    if (!font)
        return;
    font->draw(target_, x, y, text, textColor_, bkMode_ == BackgroundMode::Opaque, bkColor_);
}

}  // namespace quelvane
