// libFuzzer target: the bitmap reader, uncompressed and run-length encoded.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "game/gfx/BitmapFile.h"
#include "platform/ByteOrder.h"

namespace {

// The number of pixels the header claims, read the way the reader reads it; 0 when there is no
// header to read.
int64_t claimedPixels(const uint8_t* data, std::size_t size) {
    if (size < 26)
        return 0;
    if (byteorder::readLe32(data + 14) == 12) {
        return int64_t{static_cast<int16_t>(byteorder::readLe16(data + 18))} *
               static_cast<int16_t>(byteorder::readLe16(data + 20));
    }
    return int64_t{static_cast<int32_t>(byteorder::readLe32(data + 18))} *
           static_cast<int32_t>(byteorder::readLe32(data + 22));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    // A few bytes of RLE data may rightly end at once and leave an 8192 x 8192 picture of palette
    // entry 0: filling 256 MB for each such input, or even 4 MB, slows the search a hundredfold.
    // Pictures of more than 65536 pixels take the same paths as smaller ones.
    const int64_t pixels = claimedPixels(data, size);
    if (pixels > (int64_t{1} << 16) || pixels < -(int64_t{1} << 16))
        return 0;
    // An exact copy: a read one byte past the file lands outside the allocation.
    const std::vector<uint8_t> bytes(data, data + size);
    std::string why;
    const auto bitmap = quelvane::parseBmp(bytes, &why);
    if (!bitmap) {
        // Every refusal says why.
        if (why.empty())
            std::abort();
        return 0;
    }
    if (bitmap->width < 1 || bitmap->height < 1 || bitmap->width > quelvane::kMaxBitmapSide ||
        bitmap->height > quelvane::kMaxBitmapSide ||
        bitmap->pixels.size() != static_cast<std::size_t>(bitmap->width) * bitmap->height) {
        std::abort();
    }
    // Pixels are 0x00RRGGBB.
    for (uint32_t pixel : bitmap->pixels) {
        if (pixel > 0x00FFFFFF)
            std::abort();
    }
    return 0;
}
