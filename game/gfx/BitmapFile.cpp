#include "game/gfx/BitmapFile.h"

#include <bit>
#include <cstdio>
#include <fstream>

#include "platform/ByteOrder.h"

namespace quelvane {

namespace {

constexpr uint32_t kBiRgb = 0;
constexpr uint32_t kBiBitfields = 3;
constexpr uint32_t kFileHeaderSize = 14;
// Files are read whole, so a bound on their size bounds the memory a damaged one can take.
constexpr uint64_t kMaxFileSize = 4ull * kMaxBitmapSide * kMaxBitmapSide + 4096;

// Callers have checked that the bytes are there.
uint32_t readLe(const std::vector<uint8_t>& b, size_t at, int bytes) {
    return byteorder::readLe(b.data() + at, bytes);
}

// Scales a masked channel to 8 bits; a zero mask gives 0.
uint32_t channel(uint32_t raw, uint32_t mask) {
    if (mask == 0)
        return 0;
    const int shift = std::countr_zero(mask);
    const uint32_t max = mask >> shift;
    return ((raw & mask) >> shift) * 255u / max;
}

}  // namespace

std::optional<Bitmap> parseBmp(const std::vector<uint8_t>& b) {
    if (b.size() < kFileHeaderSize + 12 || b[0] != 'B' || b[1] != 'M')
        return std::nullopt;
    const uint32_t dataOffset = readLe(b, 10, 4);
    const uint32_t infoSize = readLe(b, 14, 4);
    if (infoSize < 12 || kFileHeaderSize + uint64_t{infoSize} > b.size())
        return std::nullopt;

    int64_t width, height;
    uint32_t bits, compression = kBiRgb, paletteCount = 0;
    size_t paletteEntry = 4;
    if (infoSize == 12) {  // the old OS/2 core header
        width = static_cast<int16_t>(readLe(b, 18, 2));
        height = static_cast<int16_t>(readLe(b, 20, 2));
        bits = readLe(b, 24, 2);
        paletteEntry = 3;
    } else {
        if (infoSize < 40)
            return std::nullopt;
        width = static_cast<int32_t>(readLe(b, 18, 4));
        height = static_cast<int32_t>(readLe(b, 22, 4));
        bits = readLe(b, 28, 2);
        compression = readLe(b, 30, 4);
        paletteCount = readLe(b, 46, 4);
    }
    const bool topDown = height < 0;
    if (topDown)
        height = -height;
    if (width <= 0 || height <= 0 || width > kMaxBitmapSide || height > kMaxBitmapSide) {
        return std::nullopt;
    }

    uint32_t masks[3] = {0x00FF0000, 0x0000FF00, 0x000000FF};
    if (bits == 16)
        masks[0] = 0x7C00, masks[1] = 0x03E0, masks[2] = 0x001F;
    if (compression == kBiBitfields) {
        if (bits != 16 && bits != 32)
            return std::nullopt;
        // The masks follow a 40-byte header, or sit inside a larger one at the same place.
        const size_t at = kFileHeaderSize + 40;
        if (at + 12 > b.size())
            return std::nullopt;
        for (int i = 0; i < 3; ++i)
            masks[i] = readLe(b, at + 4 * static_cast<size_t>(i), 4);
    } else if (compression != kBiRgb) {
        return std::nullopt;
    }
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) {
        return std::nullopt;
    }

    std::vector<uint32_t> palette;
    if (bits <= 8) {
        const uint32_t maxColours = 1u << bits;
        if (paletteCount == 0 || paletteCount > maxColours)
            paletteCount = maxColours;
        size_t at = kFileHeaderSize + infoSize;
        if (compression == kBiBitfields && infoSize == 40)
            at += 12;
        if (at + paletteCount * paletteEntry > b.size())
            return std::nullopt;
        palette.resize(maxColours, 0);
        for (uint32_t i = 0; i < paletteCount; ++i) {
            const size_t e = at + i * paletteEntry;
            palette[i] = (uint32_t{b[e + 2]} << 16) | (uint32_t{b[e + 1]} << 8) | b[e];
        }
    }

    const uint64_t rowBytes = (static_cast<uint64_t>(width) * bits + 31) / 32 * 4;
    if (dataOffset > b.size() || rowBytes * height > b.size() - dataOffset)
        return std::nullopt;

    Bitmap bitmap;
    bitmap.width = static_cast<int>(width);
    bitmap.height = static_cast<int>(height);
    bitmap.pixels.resize(static_cast<size_t>(width) * height);
    for (int64_t row = 0; row < height; ++row) {
        const size_t src = dataOffset + static_cast<size_t>(row * rowBytes);
        const int64_t y = topDown ? row : height - 1 - row;
        uint32_t* out = &bitmap.pixels[static_cast<size_t>(y * width)];
        for (int64_t x = 0; x < width; ++x) {
            uint32_t value;
            switch (bits) {
                case 1:
                case 4:
                case 8: {
                    const uint64_t bit = static_cast<uint64_t>(x) * bits;
                    const uint8_t byte = b[src + bit / 8];
                    const uint32_t index = (byte >> (8 - bits - bit % 8)) & ((1u << bits) - 1);
                    value = palette[index];
                    break;
                }
                case 16:
                case 32: {
                    const uint32_t raw = readLe(b, src + x * (bits / 8), bits / 8);
                    value = (channel(raw, masks[0]) << 16) | (channel(raw, masks[1]) << 8) |
                            channel(raw, masks[2]);
                    break;
                }
                default:  // 24
                    value = readLe(b, src + x * 3, 3);
                    break;
            }
            out[x] = value & 0x00FFFFFF;
        }
    }
    return bitmap;
}

std::optional<Bitmap> readBmp(const std::string& path) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in)
        return std::nullopt;
    const std::streamoff size = in.tellg();
    if (size <= 0 || static_cast<uint64_t>(size) > kMaxFileSize)
        return std::nullopt;
    std::vector<uint8_t> bytes(static_cast<size_t>(size));
    in.seekg(0);
    if (!in.read(reinterpret_cast<char*>(bytes.data()), size))
        return std::nullopt;
    return parseBmp(bytes);
}

bool writeBmp(const std::string& path, const Bitmap& bitmap) {
    if (bitmap.width <= 0 || bitmap.height <= 0 ||
        bitmap.pixels.size() != static_cast<size_t>(bitmap.width) * bitmap.height) {
        return false;
    }
    const uint32_t rowBytes = (static_cast<uint32_t>(bitmap.width) * 3 + 3) & ~3u;
    const uint32_t dataSize = rowBytes * bitmap.height;
    const uint32_t offset = kFileHeaderSize + 40;
    std::vector<uint8_t> out(offset + dataSize, 0);
    auto put = [&out](size_t at, uint32_t v, int bytes) {
        byteorder::writeLe(out.data() + at, v, bytes);
    };
    out[0] = 'B';
    out[1] = 'M';
    put(2, offset + dataSize, 4);
    put(10, offset, 4);
    put(14, 40, 4);
    put(18, bitmap.width, 4);
    put(22, bitmap.height, 4);
    put(26, 1, 2);
    put(28, 24, 2);
    put(34, dataSize, 4);
    put(38, 2835, 4);  // 72 dpi
    put(42, 2835, 4);
    for (int y = 0; y < bitmap.height; ++y) {
        const size_t row = offset + static_cast<size_t>(bitmap.height - 1 - y) * rowBytes;
        for (int x = 0; x < bitmap.width; ++x) {
            put(row + 3 * static_cast<size_t>(x),
                bitmap.pixels[static_cast<size_t>(y) * bitmap.width + x], 3);
        }
    }
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    const bool written = std::fwrite(out.data(), 1, out.size(), f) == out.size();
    return std::fclose(f) == 0 && written;
}

}  // namespace quelvane
