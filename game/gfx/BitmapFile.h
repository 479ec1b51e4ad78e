#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quelvane {

// A picture in memory: 0x00RRGGBB pixels, rows from top to bottom.
struct Bitmap {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;
};

// The largest side a .bmp may have; anything larger is refused before memory is taken for it.
inline constexpr int kMaxBitmapSide = 8192;

// Reads an uncompressed Windows bitmap (1, 4, 8, 16, 24 or 32 bits, bottom-up or top-down, with
// BI_RGB or BI_BITFIELDS). Anything else, a damaged or truncated file, or a missing one gives
// nullopt, and why, when given, says which in a few words ("no such file", "truncated pixels:
// ...").
std::optional<Bitmap> readBmp(const std::string& path, std::string* why = nullptr);

// Parses a bitmap held in memory; readBmp reads the file and calls this.
std::optional<Bitmap> parseBmp(const std::vector<uint8_t>& bytes, std::string* why = nullptr);

// Writes a 24-bit bottom-up bitmap; the same picture always gives the same bytes.
bool writeBmp(const std::string& path, const Bitmap& bitmap);

}  // namespace quelvane
