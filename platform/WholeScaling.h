#pragma once

#include <cstdint>

namespace platform {

// A picture in memory: the address of its top-left pixel and the bytes from one row to the next.
struct PixelRows {
    uint32_t* pixels;
    int pitch;
};

// Nearest-pixel scaling by a whole factor (1 or more): each of the width x height pixels from
// `from` becomes a factor x factor square at `to`, which must hold width * factor x height * factor
// pixels. Nothing else at `to` is written. The window's software path does this for every picture,
// so it goes at the pace of a copy of the bytes it writes.
void scaleWhole(const uint32_t* from, int pitch, int width, int height, int factor,
                const PixelRows& to);

// The two ways scaleWhole may take, for the tests to hold both against the same reference: plain
// C++ for any machine, and SSE2 (every x86-64) for factors 2, 3 and 4.
void scaleWholePortable(const uint32_t* from, int pitch, int width, int height, int factor,
                        const PixelRows& to);
#ifdef __SSE2__
void scaleWholeSse2(const uint32_t* from, int pitch, int width, int height, int factor,
                    const PixelRows& to);
#endif

}  // namespace platform
