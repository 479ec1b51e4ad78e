#pragma once

#include <cstdint>

namespace quelvane {

// The game's one pseudo-random generator, a linear congruential one seeded once at start-up: every
// random choice of the game draws from it, so a seed and the same keys replay a game exactly.
void seedRandom(uint32_t seed);

// Where the generator stands: seedRandom with it goes on from here, as a saved game does.
uint32_t randomState();

// The next raw number, 0 to 32767.
int32_t nextRandom();

// A whole number from lo to hi, both included. An empty range (hi < lo) gives lo; it still draws
// one number, so the sequence of later draws does not depend on the range.
int32_t random(int32_t lo, int32_t hi);

}  // namespace quelvane
