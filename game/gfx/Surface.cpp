#include "game/gfx/Surface.h"

#include <algorithm>
#include <cstddef>

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
    for (int y = top; y < bottom; ++y)
        std::fill_n(pixels_.begin() + static_cast<std::ptrdiff_t>(y) * width_ + left, right - left,
                    pixel);
}

}  // namespace quelvane
