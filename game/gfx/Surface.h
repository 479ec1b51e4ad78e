#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "game/gfx/DeviceContext.h"

namespace quelvane {

// Why a surface refused a lock or a device context.
enum class SurfaceResult { Ok, Busy, NotLocked, NotHeld, NoSurface };

inline bool succeeded(SurfaceResult r) {
    return r == SurfaceResult::Ok;
}

// What a lock hands out: the address of pixel (0, 0), bytes per row and bits per pixel.
struct LockInfo {
    int32_t pitch = 0;
    void* bits = nullptr;
    uint32_t bitCount = 0;
};

// A 32-bit XRGB8888 picture in memory: the back and front buffers of the display and every sprite.
// Like a video surface, it is either free, locked for pixel writes, or lent out as a device context
// for text and lines, never two at once.
class Surface {
  public:
    Surface(int width, int height);
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;

    int width() const { return width_; }
    int height() const { return height_; }
    int32_t pitch() const { return width_ * 4; }
    uint32_t pixel(int x, int y) const { return pixels_[static_cast<size_t>(y) * width_ + x]; }
    uint32_t* data() { return pixels_.data(); }
    const uint32_t* data() const { return pixels_.data(); }

    SurfaceResult lock(LockInfo& info);
    SurfaceResult unlock();
    SurfaceResult getDC(DeviceContext*& dc);
    SurfaceResult releaseDC(DeviceContext* dc);
    bool isLocked() const { return locked_; }
    bool isDCHeld() const { return dcHeld_; }

    void setColourKey(uint32_t key) { colourKey_ = key; }
    std::optional<uint32_t> colourKey() const { return colourKey_; }

    // Fills the part of [left, right) x [top, bottom) that lies on the surface.
    void fill(uint32_t pixel, int left, int top, int right, int bottom);

  private:
    int width_;
    int height_;
    std::vector<uint32_t> pixels_;
    bool locked_ = false;
    bool dcHeld_ = false;
    std::optional<uint32_t> colourKey_;
    DeviceContext dc_;
};

using SurfacePtr = std::unique_ptr<Surface>;

}  // namespace quelvane
