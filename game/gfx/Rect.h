#pragma once

#include <cstdint>

namespace quelvane {

// A rectangle whose right and bottom edges are exclusive when it names pixels to fill or copy.
struct Rect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;

    friend bool operator==(const Rect&, const Rect&) = default;
};

}  // namespace quelvane
