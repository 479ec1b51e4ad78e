#pragma once

#include <cstdint>

namespace quelvane {

inline constexpr int32_t kAlienWidth = 41;
inline constexpr int32_t kAlienHeight = 37;
inline constexpr int32_t kAlienHitPoints = 75;

// An enemy craft, kept by value in `aliens`.
struct Alien {
    float x = 0;
    float y = 0;
    int32_t targetX = -1;  // -1: no target chosen yet
    int32_t targetY = 0;
    uint32_t lastShotTime = 0;
    int32_t hitPoints = kAlienHitPoints;

    // Takes a hit; true while the alien survives it.
    bool takeDamage(int32_t damage);
};

}  // namespace quelvane
