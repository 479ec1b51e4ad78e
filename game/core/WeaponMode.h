#pragma once

#include <cstdint>

namespace quelvane {

// The nine weapon modes: the three single weapons (the lasers in two patterns) and the five
// combinations of two, which fire both at their own rates.
enum WeaponMode : int32_t {
    PowerRepeater = 0,
    LaserChained = 1,
    LaserLinked = 2,
    HomingMissiles = 3,
    RepeaterLaserChained = 4,
    RepeaterLaserLinked = 5,
    RepeaterMissiles = 6,
    LaserChainedMissiles = 7,
    LaserLinkedMissiles = 8,
};

inline constexpr int32_t kFirstCombination = RepeaterLaserChained;
inline constexpr int32_t kCombinationCount = 5;

}  // namespace quelvane
