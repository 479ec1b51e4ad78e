#include "game/gfx/Display.h"

#include <algorithm>
#include <limits>
#include <utility>

#include "game/gfx/Font.h"
#include "platform/Screen.h"

namespace quelvane {

namespace {

constexpr int kMaxDisplaySide = 4096;

int32_t saturate(int64_t v) {
    return static_cast<int32_t>(std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}

bool insideSurface(const Rect& r, const Surface& s) {
    return r.left >= 0 && r.top >= 0 && r.left < r.right && r.top < r.bottom &&
           r.right <= s.width() && r.bottom <= s.height();
}

}  // namespace

Display display;

Display::~Display() {
    Release();
}

bool Display::Init(platform::Screen* screen, int width, int height, int bitsPerPixel,
                   uint32_t cooperativeFlags, bool) {
    if (state_ != DisplayState::Created)
        return false;
    if (!screen || bitsPerPixel != 32 || width <= 0 || height <= 0 || width > kMaxDisplaySide ||
        height > kMaxDisplaySide ||
        !screen->open(width, height, (cooperativeFlags & kCooperativeFullscreen) != 0)) {
        state_ = DisplayState::Failed;
        return false;
    }
    screen_ = screen;
    primary_ = std::make_unique<Surface>(width, height);
    back_ = std::make_unique<Surface>(width, height);

    clearPixel_ = MatchColor(back_.get(), rgb(0, 0, 0));
    screenRect_ = {0, 0, width - 1, height - 1};
    pixelCount_ = static_cast<uint32_t>(width) * height;
    destRect_ = {};
    state_ = DisplayState::Ready;
    return true;
}

void Display::Release() {
    if (screen_)
        std::exchange(screen_, nullptr)->close();
    back_.reset();
    primary_.reset();
    dc_ = nullptr;
    locked_ = dcHeld_ = fontSelected_ = false;
}

SurfaceResult Display::Lock() {
    if (!back_)
        return SurfaceResult::NoSurface;
    const SurfaceResult r = back_->lock(lockDesc_);
    if (succeeded(r))
        locked_ = true;
    return r;
}

SurfaceResult Display::Unlock() {
    if (!back_)
        return SurfaceResult::NoSurface;
    const SurfaceResult r = back_->unlock();
    if (succeeded(r))
        locked_ = false;
    return r;
}

SurfaceResult Display::GetDC() {
    if (!back_)
        return SurfaceResult::NoSurface;
    const SurfaceResult r = back_->getDC(dc_);
    if (succeeded(r))
        dcHeld_ = true;
    return r;
}

SurfaceResult Display::ReleaseDC() {
    RestoreFont();
    if (!back_)
        return SurfaceResult::NoSurface;
    const SurfaceResult r = back_->releaseDC(dc_);
    if (succeeded(r)) {
        dcHeld_ = false;
        dc_ = nullptr;
    }
    return r;
}

bool Display::Flip(bool clear) {
    if (state_ != DisplayState::Ready || !back_ || !primary_)
        return false;
    // A flip chain cannot flip while its back surface is locked or lent out. Refuse at once:
    // waiting for a condition only this thread could end would spin forever.
    if (back_->isLocked() || back_->isDCHeld())
        return false;
    std::swap(primary_, back_);
    screen_->present(primary_->data(), primary_->pitch());
    if (clear)
        back_->fill(clearPixel_, 0, 0, back_->width(), back_->height());
    return true;
}

bool Display::FillRect(uint32_t pixel, int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    if (locked_ || dcHeld_)
        return false;
    if (y1 > y2)
        std::swap(y1, y2);
    if (x1 > x2)
        std::swap(x1, x2);
    if (back_)
        back_->fill(pixel, x1, y1, x2, y2);
    return true;
}

uint32_t Display::MatchColor(Surface* surface, ColourRef colour) {
    Surface* s = surface ? surface : back_.get();
    if (!s)
        return 0xFFFFFFFF;
    // The colour is written into pixel (0, 0), read back raw, and the pixel put back as it was.
    DeviceContext* dc = nullptr;
    ColourRef saved = 0;
    bool wrote = false;
    if (colour != kInvalidColour && succeeded(s->getDC(dc))) {
        saved = dc->getPixel(0, 0);
        dc->setPixel(0, 0, colour);
        s->releaseDC(dc);
        wrote = true;
    }
    uint32_t result = 0xFFFFFFFF;
    LockInfo info;
    if (succeeded(s->lock(info))) {
        result = *static_cast<const uint32_t*>(info.bits);
        s->unlock();
    }
    if (wrote && succeeded(s->getDC(dc))) {
        dc->setPixel(0, 0, saved);
        s->releaseDC(dc);
    }
    return result;
}

DisplayStatus Display::GetStatus() const {
    return {locked_, dcHeld_, state_, screenRect_};
}

SurfacePtr Display::LoadBitmap(const char* fileName, std::string* why) {
    if (!fileName)
        return nullptr;
    const std::optional<Bitmap> bitmap = readBmp(fileName, why);
    if (!bitmap)
        return nullptr;
    auto surface = std::make_unique<Surface>(bitmap->width, bitmap->height);
    if (!CopyBitmap(surface.get(), &*bitmap, 0, 0, 0, 0)) {
        if (why)
            *why = "its surface could not be made";
        return nullptr;
    }
    return surface;
}

bool Display::CopyBitmap(Surface* surface, const Bitmap* bitmap, int32_t x, int32_t y,
                         int32_t width, int32_t height) {
    if (!surface || !bitmap)
        return false;
    if (width == 0)
        width = bitmap->width;
    if (height == 0)
        height = bitmap->height;
    if (width < 0 || height < 0)
        return false;
    DeviceContext* dc = nullptr;
    if (!succeeded(surface->getDC(dc)))
        return false;
    // The region (x, y, width, height) of the bitmap is stretched over the whole surface, nearest
    // pixel.
    const int sw = surface->width(), sh = surface->height();
    uint32_t* out = surface->data();
    for (int dy = 0; dy < sh; ++dy) {
        const int64_t sy = y + int64_t{dy} * height / sh;
        for (int dx = 0; dx < sw; ++dx) {
            const int64_t sx = x + int64_t{dx} * width / sw;
            if (sx < 0 || sy < 0 || sx >= bitmap->width || sy >= bitmap->height)
                continue;
            out[static_cast<size_t>(dy) * sw + dx] =
                bitmap->pixels[static_cast<size_t>(sy) * bitmap->width + sx];
        }
    }
    surface->releaseDC(dc);
    return true;
}

bool Display::SetColorKey(Surface* surface, ColourRef colour) {
    if (!surface)
        return false;
    surface->setColourKey(MatchColor(surface, colour));
    return true;
}

bool Display::DrawSurface(Surface* surface, int32_t x, int32_t y, const Rect* sourceRect) {
    if (state_ != DisplayState::Ready || locked_)
        return false;
    // Wide, so that a sprite at the far end of the coordinate range cannot overflow.
    int64_t spanX = 0, spanY = 0;
    if (sourceRect) {
        spanX = int64_t{sourceRect->right} - sourceRect->left;
        spanY = int64_t{sourceRect->bottom} - sourceRect->top;
    } else if (surface) {
        spanX = surface->width();
        spanY = surface->height();
    }
    const int64_t destRight = x + spanX, destBottom = y + spanY;
    destRect_ = {x, y, saturate(destRight), saturate(destBottom)};
    if (!surface || !back_ || back_->isDCHeld())
        return false;
    const Rect source = sourceRect ? *sourceRect : Rect{0, 0, surface->width(), surface->height()};
    if (!insideSurface(source, *surface))
        return false;

    // Clipped at every edge of the back surface; a sprite wholly off the screen draws nothing and
    // computes nothing.
    const int64_t left = std::max<int64_t>(x, 0), top = std::max<int64_t>(y, 0);
    const int64_t right = std::min<int64_t>(destRight, back_->width());
    const int64_t bottom = std::min<int64_t>(destBottom, back_->height());
    if (left >= right || top >= bottom)
        return true;
    const std::optional<uint32_t> key = surface->colourKey();
    const int64_t dw = back_->width(), srcW = surface->width();
    for (int64_t dy = top; dy < bottom; ++dy) {
        const uint32_t* src =
            surface->data() + (source.top + dy - y) * srcW + (source.left + left - x);
        uint32_t* dst = back_->data() + dy * dw + left;
        for (int64_t i = 0; i < right - left; ++i) {
            if (!key || src[i] != *key)
                dst[i] = src[i];
        }
    }
    return true;
}

bool Display::PutPixel(int32_t x, int32_t y, uint32_t pixel) {
    if (!locked_)
        return false;
    if (x < 0 || y < 0 || x > screenRect_.right || y > screenRect_.bottom)
        return false;
    auto* base = static_cast<uint8_t*>(lockDesc_.bits);
    const int32_t pitch = lockDesc_.pitch;
    switch (lockDesc_.bitCount) {
        case 8:
            base[pitch * y + x] = static_cast<uint8_t>(pixel);
            break;
        case 16:
            reinterpret_cast<uint16_t*>(base)[(pitch / 2) * y + x] = static_cast<uint16_t>(pixel);
            break;
        default:
            reinterpret_cast<uint32_t*>(base)[(pitch / 4) * y + x] = pixel;
            break;
    }
    return true;
}

bool Display::SelectFont(const Font* font) {
    if (!dcHeld_)
        return false;
    // Only the first selection remembers what to restore; later ones just replace the font.
    if (fontSelected_) {
        dc_->selectFont(font);
    } else {
        savedFont_ = dc_->selectFont(font);
        fontSelected_ = true;
    }
    return true;
}

void Display::RestoreFont() {
    if (!fontSelected_)
        return;
    if (dc_)
        dc_->selectFont(savedFont_);
    fontSelected_ = false;
}

bool Display::DrawString(const char* text, int32_t x, int32_t y, bool transparent,
                         ColourRef textColour, ColourRef backColour) {
    if (!dcHeld_)
        return false;
    const BackgroundMode oldMode =
        dc_->setBkMode(transparent ? BackgroundMode::Transparent : BackgroundMode::Opaque);
    const ColourRef oldText = dc_->setTextColor(textColour);
    const ColourRef oldBack = dc_->setBkColor(backColour);
    if (text)
        dc_->textOut(x, y, text);
    dc_->setBkMode(oldMode);
    dc_->setBkColor(oldBack);
    dc_->setTextColor(oldText);
    return true;
}

bool Display::DrawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2, const Pen& pen,
                       ColourRef backColour) {
    if (!dcHeld_)
        return false;
    const Pen oldPen = dc_->selectPen(pen);
    const ColourRef oldBack = dc_->setBkColor(backColour);
    dc_->moveTo(x1, y1);
    dc_->lineTo(x2, y2);
    dc_->setBkColor(oldBack);
    dc_->selectPen(oldPen);
    return true;
}

bool Display::SavePresented(const std::string& path) const {
    if (!primary_)
        return false;
    Bitmap bitmap{primary_->width(), primary_->height(), {}};
    bitmap.pixels.assign(primary_->data(), primary_->data() + pixelCount_);
    for (uint32_t& p : bitmap.pixels)
        p &= 0x00FFFFFF;
    return writeBmp(path, bitmap);
}

}  // namespace quelvane
