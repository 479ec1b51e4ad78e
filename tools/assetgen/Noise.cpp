#include "tools/assetgen/Noise.h"

#include <cmath>

namespace assetgen {

namespace {

uint32_t hash(int x, int y, uint32_t seed) {
    uint32_t h =
        seed ^ (static_cast<uint32_t>(x) * 374761393u) ^ (static_cast<uint32_t>(y) * 668265263u);
    h = (h ^ (h >> 13)) * 1274126177u;
    return h ^ (h >> 16);
}

float lattice(int x, int y, uint32_t seed) {
    return static_cast<float>(hash(x, y, seed) & 0xFFFF) / 65535.0f;
}

float smooth(float t) {
    return t * t * (3.0f - 2.0f * t);
}

}  // namespace

uint32_t Noise::next() {
    // xorshift32
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
}

float Noise::unit() {
    return static_cast<float>(next() >> 8) / 16777216.0f;
}

float Noise::value(float x, float y, uint32_t seed) {
    float fx = std::floor(x);
    float fy = std::floor(y);
    int ix = static_cast<int>(fx);
    int iy = static_cast<int>(fy);
    float tx = smooth(x - fx);
    float ty = smooth(y - fy);
    float top = lattice(ix, iy, seed) + (lattice(ix + 1, iy, seed) - lattice(ix, iy, seed)) * tx;
    float bottom = lattice(ix, iy + 1, seed) +
                   (lattice(ix + 1, iy + 1, seed) - lattice(ix, iy + 1, seed)) * tx;
    return top + (bottom - top) * ty;
}

float Noise::fractal(float x, float y, uint32_t seed) {
    return (value(x, y, seed) * 4.0f + value(x * 2.0f, y * 2.0f, seed + 1) * 2.0f +
            value(x * 4.0f, y * 4.0f, seed + 2)) /
           7.0f;
}

}  // namespace assetgen
