#pragma once

#include <array>
#include <cstdint>

// The window icon: the player's fighter in 32 x 32 pixels and 16 colours. ARGB8888, alpha 0 where
// transparent, rows from top to bottom.
std::array<uint32_t, 32 * 32> shipIcon();
