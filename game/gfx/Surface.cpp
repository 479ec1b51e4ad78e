#include "game/gfx/Surface.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

namespace quelvane {

Surface::Surface(int width, int height)
    : width_(width), height_(height), pixels_(static_cast<size_t>(width) * height, 0), dc_(*this) {}

SurfaceResult Surface::lock(LockInfo& info) {
    if (locked_ || dcHeld_)
        return SurfaceResult::Busy;
    locked_ = true;
    info.pitch = pitch();
    info.bits = pixels_.data();
    info.bitCount = 32;
    return SurfaceResult::Ok;
}

SurfaceResult Surface::unlock() {
    if (!locked_)
        return SurfaceResult::NotLocked;
    locked_ = false;
    return SurfaceResult::Ok;
}

SurfaceResult Surface::getDC(DeviceContext*& dc) {
    if (locked_ || dcHeld_)
        return SurfaceResult::Busy;
    dcHeld_ = true;
    dc = &dc_;
    return SurfaceResult::Ok;
}

SurfaceResult Surface::releaseDC(DeviceContext* dc) {
    if (!dcHeld_ || dc != &dc_)
        return SurfaceResult::NotHeld;
    dcHeld_ = false;
    return SurfaceResult::Ok;
}

void Surface::fill(uint32_t pixel, int left, int top, int right, int bottom) {
    left = std::max(left, 0);
    top = std::max(top, 0);
    right = std::min(right, width_);
    bottom = std::min(bottom, height_);
    // A rectangle wholly off the surface touches nothing, not even an address past its end.
    if (left >= right || top >= bottom)
        return;
    uint32_t* first = pixels_.data() + static_cast<std::ptrdiff_t>(top) * width_ + left;
    const size_t rowBytes = static_cast<size_t>(right - left) * 4;
    // Filling is memset's job where every byte of the pixel is the same (black, the clear); other
    // colours fill one row and copy it down, at memcpy's pace.
    const auto byte = static_cast<uint8_t>(pixel);
    const bool bytesAlike = pixel == byte * 0x01010101u;
    // Rows as wide as the surface are one run of memory.
    if (bytesAlike && right - left == width_) {
        std::memset(first, byte, rowBytes * (bottom - top));
        return;
    }
    for (int y = top; y < bottom; ++y) {
        uint32_t* row = first + static_cast<std::ptrdiff_t>(y - top) * width_;
        if (bytesAlike)
            std::memset(row, byte, rowBytes);
        else if (y == top)
            std::fill_n(row, right - left, pixel);
        else
            std::memcpy(row, first, rowBytes);
    }
}

}  // namespace quelvane
