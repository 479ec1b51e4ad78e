#pragma once

#include <cstdint>

namespace assetgen {

// A small seeded generator: every asset is drawn from fixed seeds, so every run writes the same
// bytes.
class Noise {
  public:
    explicit Noise(uint32_t seed) : state(seed * 2654435761u + 0x9E3779B9u) {}

    uint32_t next();
    // Uniform in [0, 1).
    float unit();
    // Uniform in [lo, hi).
    float range(float lo, float hi) { return lo + (hi - lo) * unit(); }

    // Smooth value noise in [0, 1] over the plane, one lattice point per unit, fixed by seed.
    static float value(float x, float y, uint32_t seed);
    // Three octaves of value noise, in [0, 1].
    static float fractal(float x, float y, uint32_t seed);

  private:
    uint32_t state;
};

}  // namespace assetgen
