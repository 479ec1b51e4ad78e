#pragma once

#include <cstdint>

namespace quelvane {

// The version of the rules of play this build plays by: it changes with every change that makes
// the same keys give another game.
uint64_t rulesVersion();

}  // namespace quelvane
