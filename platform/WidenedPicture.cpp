#include "platform/WidenedPicture.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

namespace platform {

namespace {

// Pixels compared at once: a cache line of the picture.
constexpr int kRun = 16;
// After a picture that changed over half its pixels, this many more are widened whole: comparing
// them would cost more than it saves. The last of them is kept, to compare the next against.
constexpr int kWholeAfterBusy = 8;

// Inline, without memcmp's call: a row changed all along asks this of every run.
bool sameRun(const uint32_t* a, const uint32_t* b, int n) {
    uint32_t differ = 0;
    if (n == kRun) {
        for (int i = 0; i < kRun; ++i)
            differ |= a[i] ^ b[i];
    } else {
        for (int i = 0; i < n; ++i)
            differ |= a[i] ^ b[i];
    }
    return differ == 0;
}

const uint32_t* rowOf(const uint32_t* from, int pitch, int y) {
    return reinterpret_cast<const uint32_t*>(reinterpret_cast<const uint8_t*>(from) +
                                             static_cast<std::ptrdiff_t>(y) * pitch);
}

}  // namespace

void WidenedPicture::forget() {
    factor_ = 0;
}

void WidenedPicture::widen(const uint32_t* from, int pitch, int width, int height, int factor,
                           const PixelRows& to) {
    // Unscaled, copying the picture costs no more than comparing it.
    if (factor == 1) {
        scaleWhole(from, pitch, width, height, factor, to);
        forget();
        return;
    }
    if (factor != factor_ || width != width_ || height != height_ || to.pixels != target_.pixels ||
        to.pitch != target_.pitch) {
        wholeLeft_ = 0;
        widenWhole(from, pitch, width, height, factor, to);
        return;
    }
    if (wholeLeft_ > 0) {
        --wholeLeft_;
        widenWhole(from, pitch, width, height, factor, to);
        return;
    }
    long changed = 0;
    for (int y = 0; y < height; ++y) {
        const uint32_t* in = rowOf(from, pitch, y);
        const uint32_t* last = last_.data() + static_cast<std::ptrdiff_t>(y) * width_;
        if (std::memcmp(in, last, static_cast<size_t>(width_) * 4) != 0)
            changed += widenChangedRow(in, y, to);
    }
    if (changed * 2 > static_cast<long>(width) * height)
        wholeLeft_ = kWholeAfterBusy;
}

void WidenedPicture::widenWhole(const uint32_t* from, int pitch, int width, int height, int factor,
                                const PixelRows& to) {
    scaleWhole(from, pitch, width, height, factor, to);
    if (wholeLeft_ == 0) {
        last_.resize(static_cast<size_t>(width) * height);
        for (int y = 0; y < height; ++y)
            std::memcpy(last_.data() + static_cast<std::ptrdiff_t>(y) * width,
                        rowOf(from, pitch, y), static_cast<size_t>(width) * 4);
    }
    width_ = width;
    height_ = height;
    factor_ = factor;
    target_ = to;
}

// Each maximal stretch of changed runs is widened as one, and kept.
int WidenedPicture::widenChangedRow(const uint32_t* in, int y, const PixelRows& to) {
    int widened = 0;
    uint32_t* last = last_.data() + static_cast<std::ptrdiff_t>(y) * width_;
    auto* out = reinterpret_cast<uint32_t*>(reinterpret_cast<uint8_t*>(to.pixels) +
                                            static_cast<std::ptrdiff_t>(y) * factor_ * to.pitch);
    int x = 0;
    while (x < width_) {
        auto changed = [&](int at) {
            return !sameRun(in + at, last + at, std::min(kRun, width_ - at));
        };
        if (!changed(x)) {
            x += kRun;
            continue;
        }
        int end = x + kRun;
        while (end < width_ && changed(end))
            end += kRun;
        end = std::min(end, width_);
        scaleWhole(in + x, width_ * 4, end - x, 1, factor_,
                   {out + static_cast<std::ptrdiff_t>(x) * factor_, to.pitch});
        std::memcpy(last + x, in + x, static_cast<size_t>(end - x) * 4);
        widened += end - x;
        x = end;
    }
    return widened;
}

}  // namespace platform
