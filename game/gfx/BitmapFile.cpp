#include "game/gfx/BitmapFile.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cerrno>
#include <cstdio>
#include <memory>

#include "platform/ByteOrder.h"
#include "platform/WholeFile.h"

namespace quelvane {

namespace {

constexpr uint32_t kBiRgb = 0;
constexpr uint32_t kBiRle8 = 1;
constexpr uint32_t kBiRle4 = 2;
constexpr uint32_t kBiBitfields = 3;
constexpr uint32_t kFileHeaderSize = 14;
// Files are read whole, so a bound on their size bounds the memory a damaged one can take.
constexpr uint64_t kMaxFileSize = 4ull * kMaxBitmapSide * kMaxBitmapSide + 4096;

// Every step that refuses a file says why in a few words, for the message that names the file.
std::nullopt_t refuse(std::string& why, std::string reason) {
    why = std::move(reason);
    return std::nullopt;
}

std::string number(uint64_t n) {
    return std::to_string(n);
}

std::string bitsPerPixel(uint32_t bits) {
    return number(bits) + (bits == 1 ? " bit per pixel" : " bits per pixel");
}

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

// What the headers say about the picture.
struct BmpHeader {
    uint32_t dataOffset = 0;
    uint32_t infoSize = 0;
    int64_t width = 0;
    int64_t height = 0;  // made positive; topDown says which way the rows run
    bool topDown = false;
    uint32_t bits = 0;
    uint32_t compression = kBiRgb;
    uint32_t paletteCount = 0;
    size_t paletteEntry = 4;  // bytes of a palette entry
};

// The compressions other programs may write, named for the message that refuses them.
std::string compressionName(uint32_t compression) {
    switch (compression) {
        case 1:
            return "RLE8";
        case 2:
            return "RLE4";
        case 4:
            return "JPEG";
        case 5:
            return "PNG";
        case 6:
            return "alpha bit fields";
        default:
            return number(compression);
    }
}

// Whether the pixels are stored in a way this reader knows: plain at any depth, with bit fields at
// 16 and 32 bits, run-length encoded at 8 and 4 bits.
std::optional<BmpHeader> checkCompression(const BmpHeader& h, std::string& why) {
    if (h.compression == kBiRgb)
        return h;
    if (h.compression == kBiRle8 || h.compression == kBiRle4) {
        const uint32_t bits = h.compression == kBiRle8 ? 8 : 4;
        if (h.bits != bits)
            return refuse(why, compressionName(h.compression) + " at " + bitsPerPixel(h.bits));
        // Runs are drawn from the bottom row up; the format has no top-down form.
        if (h.topDown)
            return refuse(why, "top-down " + compressionName(h.compression) + ", which is invalid");
        return h;
    }
    if (h.compression == kBiBitfields) {
        if (h.bits != 16 && h.bits != 32)
            return refuse(why, "bit fields at " + bitsPerPixel(h.bits));
        return h;
    }
    return refuse(why, "unsupported compression " + compressionName(h.compression));
}

// The file header and the info header: the old OS/2 core one or a Windows one of 40 bytes or more.
std::optional<BmpHeader> readHeader(const std::vector<uint8_t>& b, std::string& why) {
    if (b.size() < 2 || b[0] != 'B' || b[1] != 'M')
        return refuse(why, "not a BMP (it does not start with BM)");
    if (b.size() < kFileHeaderSize + 12)
        return refuse(why, "header cut short");
    BmpHeader h;
    h.dataOffset = readLe(b, 10, 4);
    h.infoSize = readLe(b, 14, 4);
    if (h.infoSize != 12 && h.infoSize < 40)
        return refuse(why, "unsupported info header of " + number(h.infoSize) + " bytes");
    if (kFileHeaderSize + uint64_t{h.infoSize} > b.size())
        return refuse(why, "header cut short");
    if (h.infoSize == 12) {
        h.width = static_cast<int16_t>(readLe(b, 18, 2));
        h.height = static_cast<int16_t>(readLe(b, 20, 2));
        h.bits = readLe(b, 24, 2);
        h.paletteEntry = 3;
    } else {
        h.width = static_cast<int32_t>(readLe(b, 18, 4));
        h.height = static_cast<int32_t>(readLe(b, 22, 4));
        h.bits = readLe(b, 28, 2);
        h.compression = readLe(b, 30, 4);
        h.paletteCount = readLe(b, 46, 4);
    }
    h.topDown = h.height < 0;
    if (h.topDown)
        h.height = -h.height;
    if (h.width <= 0 || h.height <= 0 || h.width > kMaxBitmapSide || h.height > kMaxBitmapSide) {
        return refuse(why, "size " + std::to_string(h.width) + " x " + std::to_string(h.height) +
                               " outside 1 to " + number(kMaxBitmapSide));
    }
    if (h.bits != 1 && h.bits != 4 && h.bits != 8 && h.bits != 16 && h.bits != 24 && h.bits != 32)
        return refuse(why, "unsupported depth of " + bitsPerPixel(h.bits));
    return checkCompression(h, why);
}

using Masks = std::array<uint32_t, 3>;

// The red, green and blue masks of 16- and 32-bit pixels: 5-5-5 and 8-8-8 unless the file gives
// its own (BI_BITFIELDS).
std::optional<Masks> readMasks(const std::vector<uint8_t>& b, const BmpHeader& h,
                               std::string& why) {
    Masks masks =
        h.bits == 16 ? Masks{0x7C00, 0x03E0, 0x001F} : Masks{0x00FF0000, 0x0000FF00, 0x000000FF};
    if (h.compression != kBiBitfields)
        return masks;
    // The masks follow a 40-byte header, or sit inside a larger one at the same place.
    const size_t at = kFileHeaderSize + 40;
    if (at + 12 > b.size())
        return refuse(why, "bit field masks cut short");
    for (size_t i = 0; i < 3; ++i)
        masks[i] = readLe(b, at + 4 * i, 4);
    return masks;
}

// The colours of a picture of 8 bits or fewer, as 0x00RRGGBB; entries the file does not give are
// black. Empty for the other depths.
std::optional<std::vector<uint32_t>> readPalette(const std::vector<uint8_t>& b, const BmpHeader& h,
                                                 std::string& why) {
    std::vector<uint32_t> palette;
    if (h.bits > 8)
        return palette;
    const uint32_t maxColours = 1u << h.bits;
    const uint32_t count =
        h.paletteCount == 0 || h.paletteCount > maxColours ? maxColours : h.paletteCount;
    size_t at = kFileHeaderSize + h.infoSize;
    if (h.compression == kBiBitfields && h.infoSize == 40)
        at += 12;
    if (at + count * h.paletteEntry > b.size())
        return refuse(why, "palette cut short");
    palette.resize(maxColours, 0);
    for (uint32_t i = 0; i < count; ++i) {
        const size_t e = at + i * h.paletteEntry;
        palette[i] = (uint32_t{b[e + 2]} << 16) | (uint32_t{b[e + 1]} << 8) | b[e];
    }
    return palette;
}

// The pixel at column x of the row that starts at src.
uint32_t pixelAt(const std::vector<uint8_t>& b, size_t src, int64_t x, const BmpHeader& h,
                 const std::vector<uint32_t>& palette, const Masks& masks) {
    switch (h.bits) {
        case 1:
        case 4:
        case 8: {
            const uint64_t bit = static_cast<uint64_t>(x) * h.bits;
            const uint8_t byte = b[src + bit / 8];
            return palette[(byte >> (8 - h.bits - bit % 8)) & ((1u << h.bits) - 1)];
        }
        case 16:
        case 32: {
            const uint32_t raw = readLe(b, src + x * (h.bits / 8), h.bits / 8);
            return (channel(raw, masks[0]) << 16) | (channel(raw, masks[1]) << 8) |
                   channel(raw, masks[2]);
        }
        default:  // 24
            return readLe(b, src + x * 3, 3);
    }
}

// The rows of an uncompressed picture, each padded to 4 bytes.
std::optional<Bitmap> readRows(const std::vector<uint8_t>& b, const BmpHeader& h,
                               const std::vector<uint32_t>& palette, const Masks& masks,
                               std::string& why) {
    const uint64_t rowBytes = (static_cast<uint64_t>(h.width) * h.bits + 31) / 32 * 4;
    const uint64_t needed = rowBytes * h.height;
    if (needed > b.size() - h.dataOffset) {
        return refuse(why, "truncated pixels: " + number(needed) + " bytes needed, " +
                               number(b.size() - h.dataOffset) + " in the file");
    }
    Bitmap bitmap;
    bitmap.width = static_cast<int>(h.width);
    bitmap.height = static_cast<int>(h.height);
    bitmap.pixels.resize(static_cast<size_t>(h.width) * h.height);
    for (int64_t row = 0; row < h.height; ++row) {
        const size_t src = h.dataOffset + static_cast<size_t>(row * rowBytes);
        const int64_t y = h.topDown ? row : h.height - 1 - row;
        uint32_t* out = &bitmap.pixels[static_cast<size_t>(y * h.width)];
        for (int64_t x = 0; x < h.width; ++x)
            out[x] = pixelAt(b, src, x, h, palette, masks) & 0x00FFFFFF;
    }
    return bitmap;
}

// Decodes BI_RLE8 and BI_RLE4 data: pairs of a count and a colour, or a zero and an escape (end of
// line, end of bitmap, a delta that moves the position, or an absolute run of literal pixels padded
// to a 16-bit word). Pixels that a delta skips or that an early end leaves are palette entry 0:
// Windows leaves them unwritten, and unwritten memory of a DIB section it makes is zero. A run may
// reach into the padding that rounds a stored row to 4 bytes, because ImageMagick encodes that
// padding and GIMP ends odd 4-bit rows with a pair; those pixels are dropped, as Windows drops
// them. Where Windows clips or stops quietly, a run or delta further outside the picture and data
// that end before their end of bitmap are refused here, as truncated or damaged uncompressed files
// are.
class RleDecoder {
  public:
    RleDecoder(const std::vector<uint8_t>& b, const BmpHeader& h,
               const std::vector<uint32_t>& palette)
        : b_(b), h_(h), palette_(palette), at_(h.dataOffset) {
        four_ = h.compression == kBiRle4;
        rowEnd_ = (h.width * h.bits + 31) / 32 * 32 / h.bits;
        bitmap_.width = static_cast<int>(h.width);
        bitmap_.height = static_cast<int>(h.height);
        bitmap_.pixels.assign(static_cast<size_t>(h.width) * h.height, palette[0]);
    }

    std::optional<Bitmap> decode(std::string& why) {
        for (;;) {
            if (left() < 2)
                return refuse(why, name() + " data ends without an end of bitmap");
            const uint8_t count = b_[at_];
            const uint8_t value = b_[at_ + 1];
            at_ += 2;
            if (count > 0) {
                // RLE4 alternates the colours of the byte's high and low halves.
                const auto colour = [&](int64_t i) {
                    return four_ ? (i % 2 == 0 ? value >> 4 : value & 0x0F) : value;
                };
                if (!put(count, colour, why))
                    return std::nullopt;
            } else if (value == 0) {  // end of line
                x_ = 0;
                ++y_;
            } else if (value == 1) {  // end of bitmap
                return std::move(bitmap_);
            } else if (value == 2) {
                if (!delta(why))
                    return std::nullopt;
            } else if (!absolute(value, why)) {
                return std::nullopt;
            }
        }
    }

  private:
    size_t left() const { return b_.size() - at_; }
    std::string name() const { return compressionName(h_.compression); }

    // count pixels from the position on, colour(i) giving the palette index of the i-th.
    template <class Colour>
    bool put(int64_t count, const Colour& colour, std::string& why) {
        if (y_ >= h_.height) {
            why = name() + " pixels above the top of the picture";
            return false;
        }
        if (count > rowEnd_ - x_) {
            why = name() + " run of " + number(count) + " pixels at column " + number(x_) +
                  " passes the end of its " + number(h_.width) + "-pixel row";
            if (rowEnd_ > h_.width)
                why += " (" + number(rowEnd_) + " with its padding)";
            return false;
        }
        uint32_t* row = &bitmap_.pixels[static_cast<size_t>((h_.height - 1 - y_) * h_.width)];
        const int64_t drawn = std::min(count, h_.width - x_);
        for (int64_t i = 0; i < drawn; ++i)
            row[x_ + i] = palette_[colour(i)];
        x_ += count;
        return true;
    }

    // Moves right and up by the next two bytes; it must land in the picture.
    bool delta(std::string& why) {
        if (left() < 2) {
            why = name() + " delta cut off by the end of the data";
            return false;
        }
        x_ += b_[at_];
        y_ += b_[at_ + 1];
        at_ += 2;
        if (x_ > rowEnd_ || y_ >= h_.height) {
            why = name() + " delta past the " + number(h_.width) + " x " + number(h_.height) +
                  " picture";
            return false;
        }
        return true;
    }

    // count literal pixels, in count bytes (RLE8) or half as many (RLE4), padded to an even count.
    bool absolute(uint8_t count, std::string& why) {
        const size_t bytes = four_ ? (count + 1u) / 2 : count;
        if (bytes > left()) {
            why = name() + " absolute run of " + number(count) + " pixels past the end of the data";
            return false;
        }
        const size_t from = at_;
        const auto colour = [&](int64_t i) {
            return four_ ? (i % 2 == 0 ? b_[from + i / 2] >> 4 : b_[from + i / 2] & 0x0F)
                         : b_[from + i];
        };
        if (!put(count, colour, why))
            return false;
        at_ += std::min(bytes + bytes % 2, left());
        return true;
    }

    const std::vector<uint8_t>& b_;
    const BmpHeader& h_;
    const std::vector<uint32_t>& palette_;
    bool four_ = false;
    int64_t rowEnd_ = 0;  // where a run must end: the row's width with its padding
    size_t at_;
    int64_t x_ = 0;
    int64_t y_ = 0;  // rows from the bottom, the order in which the file gives them
    Bitmap bitmap_;
};

std::optional<Bitmap> parse(const std::vector<uint8_t>& b, std::string& why) {
    const std::optional<BmpHeader> header = readHeader(b, why);
    if (!header)
        return std::nullopt;
    const BmpHeader& h = *header;
    const std::optional<Masks> masks = readMasks(b, h, why);
    if (!masks)
        return std::nullopt;
    const std::optional<std::vector<uint32_t>> palette = readPalette(b, h, why);
    if (!palette)
        return std::nullopt;
    if (h.dataOffset > b.size()) {
        return refuse(why, "pixel data at " + number(h.dataOffset) + ", past the end of the " +
                               number(b.size()) + "-byte file");
    }
    if (h.compression == kBiRle8 || h.compression == kBiRle4)
        return RleDecoder(b, h, *palette).decode(why);
    return readRows(b, h, *palette, *masks, why);
}

// The whole file, bounded in size.
std::optional<std::vector<uint8_t>> readWhole(const std::string& path, std::string& why) {
    platform::WholeFile file = platform::readWholeFile(path, kMaxFileSize);
    if (file.fault != platform::WholeFile::Fault::None)
        return refuse(why, platform::describe(file, kMaxFileSize));
    if (file.bytes.empty())
        return refuse(why, "empty file");
    return std::move(file.bytes);
}

}  // namespace

std::optional<Bitmap> parseBmp(const std::vector<uint8_t>& bytes, std::string* why) {
    std::string reason;
    std::optional<Bitmap> bitmap = parse(bytes, reason);
    if (!bitmap && why)
        *why = std::move(reason);
    return bitmap;
}

std::optional<Bitmap> readBmp(const std::string& path, std::string* why) {
    std::string reason;
    const std::optional<std::vector<uint8_t>> bytes = readWhole(path, reason);
    if (!bytes) {
        if (why)
            *why = std::move(reason);
        return std::nullopt;
    }
    return parseBmp(*bytes, why);
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
