#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace quelvane {

// The window icon: the player's fighter in 32 x 32 pixels and 16 colours. ARGB8888, alpha 0 where
// transparent, rows from top to bottom.
inline constexpr std::size_t kShipIconSide = 32;
std::array<uint32_t, kShipIconSide * kShipIconSide> shipIcon();

}  // namespace quelvane
