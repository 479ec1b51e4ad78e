#include "platform/WholeScaling.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace platform {

namespace {

const uint32_t* sourceRow(const uint32_t* from, int pitch, int y) {
    return reinterpret_cast<const uint32_t*>(reinterpret_cast<const uint8_t*>(from) +
                                             static_cast<std::ptrdiff_t>(y) * pitch);
}

uint32_t* targetRow(const PixelRows& to, int y) {
    return reinterpret_cast<uint32_t*>(reinterpret_cast<uint8_t*>(to.pixels) +
                                       static_cast<std::ptrdiff_t>(y) * to.pitch);
}

// A known factor lets the compiler unroll the inner loop into plain stores.
template <int Factor>
void widenRow(const uint32_t* in, uint32_t* out, int width) {
    for (int x = 0; x < width; ++x) {
        for (int k = 0; k < Factor; ++k)
            out[x * Factor + k] = in[x];
    }
}

void widenRowBy(const uint32_t* in, uint32_t* out, int width, int factor) {
    switch (factor) {
        case 1:
            std::memcpy(out, in, static_cast<size_t>(width) * 4);
            break;
        case 2:
            widenRow<2>(in, out, width);
            break;
        case 3:
            widenRow<3>(in, out, width);
            break;
        case 4:
            widenRow<4>(in, out, width);
            break;
        default:
            for (int x = 0; x < width; ++x)
                std::fill_n(out + static_cast<std::ptrdiff_t>(x) * factor, factor, in[x]);
            break;
    }
}

#ifdef __SSE2__

// Four source pixels a b c d widened into Factor registers, in the order they are stored.
template <int Factor>
void widenFour(__m128i v, __m128i (&out)[Factor]) {
    if constexpr (Factor == 2) {
        out[0] = _mm_unpacklo_epi32(v, v);  // a a b b
        out[1] = _mm_unpackhi_epi32(v, v);  // c c d d
    } else if constexpr (Factor == 3) {
        out[0] = _mm_shuffle_epi32(v, _MM_SHUFFLE(1, 0, 0, 0));  // a a a b
        out[1] = _mm_shuffle_epi32(v, _MM_SHUFFLE(2, 2, 1, 1));  // b b c c
        out[2] = _mm_shuffle_epi32(v, _MM_SHUFFLE(3, 3, 3, 2));  // c d d d
    } else {
        out[0] = _mm_shuffle_epi32(v, _MM_SHUFFLE(0, 0, 0, 0));
        out[1] = _mm_shuffle_epi32(v, _MM_SHUFFLE(1, 1, 1, 1));
        out[2] = _mm_shuffle_epi32(v, _MM_SHUFFLE(2, 2, 2, 2));
        out[3] = _mm_shuffle_epi32(v, _MM_SHUFFLE(3, 3, 3, 3));
    }
}

// Every row of a square is stored from the same registers, so nothing written is read back, as a
// widened row copied down would be.
template <int Factor>
void scaleBy(const uint32_t* from, int pitch, int width, int height, const PixelRows& to) {
    const int whole = width & ~3;
    for (int y = 0; y < height; ++y) {
        const uint32_t* in = sourceRow(from, pitch, y);
        uint32_t* rows[Factor];
        for (int r = 0; r < Factor; ++r)
            rows[r] = targetRow(to, y * Factor + r);
        for (int x = 0; x < whole; x += 4) {
            __m128i wide[Factor];
            widenFour<Factor>(_mm_loadu_si128(reinterpret_cast<const __m128i*>(in + x)), wide);
            for (int r = 0; r < Factor; ++r) {
                auto* out = reinterpret_cast<__m128i*>(rows[r] + x * Factor);
                for (int k = 0; k < Factor; ++k)
                    _mm_storeu_si128(out + k, wide[k]);
            }
        }
        for (int r = 0; r < Factor; ++r)
            widenRow<Factor>(in + whole, rows[r] + whole * Factor, width - whole);
    }
}

#endif

}  // namespace

void scaleWholePortable(const uint32_t* from, int pitch, int width, int height, int factor,
                        const PixelRows& to) {
    const size_t rowBytes = static_cast<size_t>(width) * factor * 4;
    for (int y = 0; y < height; ++y) {
        uint32_t* first = targetRow(to, y * factor);
        widenRowBy(sourceRow(from, pitch, y), first, width, factor);
        for (int copy = 1; copy < factor; ++copy)
            std::memcpy(targetRow(to, y * factor + copy), first, rowBytes);
    }
}

#ifdef __SSE2__

void scaleWholeSse2(const uint32_t* from, int pitch, int width, int height, int factor,
                    const PixelRows& to) {
    switch (factor) {
        case 2:
            scaleBy<2>(from, pitch, width, height, to);
            break;
        case 3:
            scaleBy<3>(from, pitch, width, height, to);
            break;
        case 4:
            scaleBy<4>(from, pitch, width, height, to);
            break;
        default:
            scaleWholePortable(from, pitch, width, height, factor, to);
            break;
    }
}

#endif

void scaleWhole(const uint32_t* from, int pitch, int width, int height, int factor,
                const PixelRows& to) {
#ifdef __SSE2__
    scaleWholeSse2(from, pitch, width, height, factor, to);
#else
    scaleWholePortable(from, pitch, width, height, factor, to);
#endif
}

}  // namespace platform
