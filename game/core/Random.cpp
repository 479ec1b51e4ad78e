#include "game/core/Random.h"

namespace quelvane {

namespace {
uint32_t state = 0;
}

void seedRandom(uint32_t seed) {
    state = seed;
}

uint32_t randomState() {
    return state;
}

int32_t nextRandom() {
    state = state * 214013u + 2531011u;
    return static_cast<int32_t>((state >> 16) & 0x7FFF);
}

int32_t random(int32_t lo, int32_t hi) {
    const int32_t r = nextRandom();
    if (hi < lo)
        return lo;
    // Computed wide so that a range of the whole int32 span cannot overflow.
    const int64_t span = int64_t{hi} - lo + 1;
    return static_cast<int32_t>(lo + r % span);
}

}  // namespace quelvane
