// Run-length encoded bitmaps built byte by byte: each escape, the word padding of absolute runs,
// and every way a stream can leave the picture or end too soon.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "game/gfx/BitmapFile.h"
#include "platform/ByteOrder.h"

namespace quelvane {
namespace {

constexpr uint32_t kRle8 = 1;
constexpr uint32_t kRle4 = 2;

// Palette entry i: never black, and entry 0 unlike the others, so that a pixel left at index 0
// shows as itself.
uint32_t colourOf(int index) {
    return (static_cast<uint32_t>(index) << 16) | (static_cast<uint32_t>(255 - index) << 8) | 0x40;
}

// A bottom-up file of the given compression with a full palette, then the stream.
std::vector<uint8_t> rleFile(int32_t width, int32_t height, uint32_t compression,
                             const std::vector<uint8_t>& stream, uint16_t bits = 0) {
    if (bits == 0)
        bits = compression == kRle8 ? 8 : 4;
    const uint32_t colours = 1u << bits;
    std::vector<uint8_t> b(54, 0);
    auto put = [&b](size_t at, uint32_t v, int n) { byteorder::writeLe(&b[at], v, n); };
    b[0] = 'B';
    b[1] = 'M';
    put(2, 54 + 4 * colours + static_cast<uint32_t>(stream.size()), 4);
    put(10, 54 + 4 * colours, 4);
    put(14, 40, 4);
    put(18, static_cast<uint32_t>(width), 4);
    put(22, static_cast<uint32_t>(height), 4);
    put(26, 1, 2);
    put(28, bits, 2);
    put(30, compression, 4);
    put(34, static_cast<uint32_t>(stream.size()), 4);
    for (uint32_t i = 0; i < colours; ++i)
        byteorder::appendLe(b, colourOf(static_cast<int>(i)), 4);
    b.insert(b.end(), stream.begin(), stream.end());
    return b;
}

// The colours of palette indices given row by row from the top, as the picture shows them.
std::vector<uint32_t> colours(const std::vector<std::vector<int>>& rows) {
    std::vector<uint32_t> pixels;
    for (const auto& row : rows) {
        for (int index : row)
            pixels.push_back(colourOf(index));
    }
    return pixels;
}

std::optional<Bitmap> parse(const std::vector<uint8_t>& file, std::string* why = nullptr) {
    // An exact copy, so that AddressSanitizer catches a read one byte past the data.
    const std::vector<uint8_t> exact(file.begin(), file.end());
    return parseBmp(exact, why);
}

TEST(RleBitmap, Rle8RunsAbsoluteRunsAndRowEscapesFillTheRowsFromTheBottom) {
    const std::vector<uint8_t> stream = {
        0x03, 0x01, 0x00, 0x03, 0x02, 0x03, 0x04, 0x00,  // 1 1 1, then 2 3 4 and its pad byte
        0x00, 0x00,                                      // end of line
        0x00, 0x04, 0x05, 0x06, 0x07, 0x08, 0x02, 0x09,  // an even absolute run has no pad
        0x00, 0x00,                                      //
        0x06, 0x0A,                                      // the top row, ended by the bitmap's end
        0x00, 0x01,
    };
    const auto bitmap = parse(rleFile(6, 3, kRle8, stream));
    ASSERT_TRUE(bitmap);
    EXPECT_EQ(bitmap->width, 6);
    EXPECT_EQ(bitmap->height, 3);
    EXPECT_EQ(bitmap->pixels, colours({{10, 10, 10, 10, 10, 10},  //
                                       {5, 6, 7, 8, 9, 9},
                                       {1, 1, 1, 2, 3, 4}}));
}

TEST(RleBitmap, Rle4RunsAlternateTheHalvesOfTheirByteAndAbsoluteRunsPadToWords) {
    const std::vector<uint8_t> stream = {
        0x05, 0x12,                          // 1 2 1 2 1
        0x00, 0x00,                          //
        0x00, 0x03, 0x34, 0x50, 0x02, 0x67,  // 3 4 5 in two bytes, no pad; then 6 7
        0x00, 0x00,                          //
        0x00, 0x05, 0x89, 0xAB, 0xC0, 0x00,  // 8 9 A B C in three bytes and a pad
        0x00, 0x01,
    };
    const auto bitmap = parse(rleFile(5, 3, kRle4, stream));
    ASSERT_TRUE(bitmap);
    EXPECT_EQ(bitmap->pixels, colours({{8, 9, 10, 11, 12},  //
                                       {3, 4, 5, 6, 7},
                                       {1, 2, 1, 2, 1}}));
}

// Windows writes nothing where a delta jumps or the data ends early; decoding into zeroed memory,
// those pixels are palette entry 0, which is not black here.
TEST(RleBitmap, PixelsSkippedByDeltaEarlyEndOfLineOrEarlyEndOfBitmapAreIndexZero) {
    const std::vector<uint8_t> stream = {
        0x01, 0x05,              // bottom row: 5, then a jump 2 right and 1 up to column 3
        0x00, 0x02, 0x02, 0x01,  //
        0x01, 0x06,              // row 1: 6 in its last column
        0x00, 0x00,              //
        0x02, 0x07,              // row 2: 7 7, the rest left by the end of line
        0x00, 0x00,              //
        0x00, 0x01,              // the top row is never drawn
    };
    for (uint32_t compression : {kRle8, kRle4}) {
        std::vector<uint8_t> s = stream;
        if (compression == kRle4) {  // the same colours in both halves of the byte
            for (size_t at : {1u, 7u, 11u})
                s[at] = static_cast<uint8_t>(s[at] * 0x11);
        }
        const auto bitmap = parse(rleFile(4, 4, compression, s));
        ASSERT_TRUE(bitmap) << compression;
        EXPECT_EQ(bitmap->pixels, colours({{0, 0, 0, 0},  //
                                           {7, 7, 0, 0},
                                           {0, 0, 0, 6},
                                           {5, 0, 0, 0}}))
            << compression;
    }
}

// ImageMagick encodes the padding that rounds a stored row to 4 bytes, and GIMP ends a 4-bit row of
// odd width with a pair whose second pixel falls in that padding; Windows draws what lies in the
// row and drops the rest.
TEST(RleBitmap, RunsMayReachIntoTheRowsPaddingButNoFurther) {
    auto rle8 = parse(rleFile(3, 1, kRle8, {0x02, 0x03, 0x02, 0x02, 0x00, 0x01}));
    ASSERT_TRUE(rle8);
    EXPECT_EQ(rle8->pixels, colours({{3, 3, 2}}));
    auto rle4 = parse(rleFile(3, 1, kRle4, {0x02, 0x30, 0x02, 0x20, 0x00, 0x01}));
    ASSERT_TRUE(rle4);
    EXPECT_EQ(rle4->pixels, colours({{3, 0, 2}}));
    // A 4-bit row of 3 pixels is stored in 4 bytes: 8 pixels.
    auto padded4 =
        parse(rleFile(3, 1, kRle4, {0x02, 0x30, 0x00, 0x06, 0x45, 0x67, 0x89, 0x00, 0x00, 0x01}));
    ASSERT_TRUE(padded4);
    EXPECT_EQ(padded4->pixels, colours({{3, 0, 4}}));

    std::string why;
    EXPECT_FALSE(parse(rleFile(3, 1, kRle8, {0x02, 0x03, 0x03, 0x02, 0x00, 0x01}), &why));
    EXPECT_EQ(why,
              "RLE8 run of 3 pixels at column 2 passes the end of its 3-pixel row (4 with its "
              "padding)");
    EXPECT_FALSE(parse(rleFile(3, 1, kRle4, {0x02, 0x30, 0x07, 0x20, 0x00, 0x01}), &why));
    EXPECT_EQ(why,
              "RLE4 run of 7 pixels at column 2 passes the end of its 3-pixel row (8 with its "
              "padding)");
}

struct Refusal {
    const char* what;
    int32_t width;
    int32_t height;
    uint32_t compression;
    std::vector<uint8_t> stream;
    const char* reason;
    uint16_t bits = 0;
};

TEST(RleBitmap, StreamsThatLeaveThePictureOrEndEarlyAreRefusedWithTheirReason) {
    // clang-format off: one refusal a line or two
    const Refusal refusals[] = {
        {"run past the row",
         4,
         1,
         kRle8,
         {0x05, 0x01, 0x00, 0x01},
         "RLE8 run of 5 pixels at column 0 passes the end of its 4-pixel row"},
        {"second run past the row",
         4,
         1,
         kRle8,
         {0x02, 0x01, 0x03, 0x02, 0x00, 0x01},
         "RLE8 run of 3 pixels at column 2 passes the end of its 4-pixel row"},
        {"absolute run past the row",
         4,
         1,
         kRle8,
         {0x00, 0x05, 1, 2, 3, 4, 5, 0x00, 0x00, 0x01},
         "RLE8 run of 5 pixels at column 0 passes the end of its 4-pixel row"},
        {"run above the top",
         2,
         1,
         kRle8,
         {0x02, 0x01, 0x00, 0x00, 0x01, 0x01, 0x00, 0x01},
         "RLE8 pixels above the top of the picture"},
        {"delta above the top",
         2,
         2,
         kRle8,
         {0x00, 0x02, 0x00, 0x02, 0x00, 0x01},
         "RLE8 delta past the 2 x 2 picture"},
        {"delta past the row and its padding",
         2,
         2,
         kRle8,
         {0x00, 0x02, 0x05, 0x00, 0x00, 0x01},
         "RLE8 delta past the 2 x 2 picture"},
        {"delta cut off",
         2,
         2,
         kRle8,
         {0x00, 0x02, 0x01},
         "RLE8 delta cut off by the end of the data"},
        {"absolute run past the data",
         8,
         1,
         kRle8,
         {0x00, 0x06, 1, 2, 3},
         "RLE8 absolute run of 6 pixels past the end of the data"},
        {"4-bit absolute run past the data",
         8,
         1,
         kRle4,
         {0x00, 0x06, 0x12, 0x34},
         "RLE4 absolute run of 6 pixels past the end of the data"},
        {"no end of bitmap",
         2,
         1,
         kRle8,
         {0x02, 0x01, 0x00, 0x00},
         "RLE8 data ends without an end of bitmap"},
        {"no data", 2, 1, kRle4, {}, "RLE4 data ends without an end of bitmap"},
        {"half a pair", 2, 1, kRle8, {0x02, 0x01, 0x00}, "RLE8 data ends without an end of bitmap"},
        // Written without the pad byte, the run takes the next escape's zero as its pad and the
        // stream goes astray.
        {"odd absolute run without its pad",
         4,
         2,
         kRle8,
         {0x00, 0x03, 1, 2, 3, 0x00, 0x00, 0x04, 0x05, 0x00, 0x01},
         "RLE8 absolute run of 4 pixels past the end of the data"},
        {"odd 4-bit absolute run without its pad",
         6,
         1,
         kRle4,
         {0x00, 0x05, 0x12, 0x34, 0x50, 0x00, 0x01},
         "RLE4 data ends without an end of bitmap"},
        {"top-down", 2, -2, kRle8, {0x00, 0x01}, "top-down RLE8, which is invalid"},
        {"RLE8 at 4 bits", 2, 2, kRle8, {0x00, 0x01}, "RLE8 at 4 bits per pixel", 4},
        {"RLE4 at 8 bits", 2, 2, kRle4, {0x00, 0x01}, "RLE4 at 8 bits per pixel", 8},
    };
    // clang-format on
    for (const Refusal& r : refusals) {
        std::string why;
        EXPECT_FALSE(parse(rleFile(r.width, r.height, r.compression, r.stream, r.bits), &why))
            << r.what;
        EXPECT_EQ(why, r.reason) << r.what;
    }
    // The pads in place, the same two streams load.
    EXPECT_TRUE(
        parse(rleFile(4, 2, kRle8, {0x00, 0x03, 1, 2, 3, 0, 0x00, 0x00, 0x04, 0x05, 0, 1})));
    EXPECT_TRUE(parse(rleFile(6, 1, kRle4, {0x00, 0x05, 0x12, 0x34, 0x50, 0, 0x00, 0x01})));
}

// A stream with every kind of code for a 9 x 4 picture, for the damage below.
std::vector<uint8_t> everyCode(uint32_t compression) {
    std::vector<uint8_t> stream = {0x04, 0x21};  // a run
    if (compression == kRle8)
        stream.insert(stream.end(), {0x00, 0x03, 0x12, 0x34, 0x56, 0x00});  // padded absolute run
    else
        stream.insert(stream.end(), {0x00, 0x03, 0x12, 0x30});
    stream.insert(stream.end(), {0x00, 0x00,              // end of line
                                 0x00, 0x02, 0x03, 0x01,  // delta
                                 0x06, 0x43, 0x00, 0x00,  //
                                 0x09, 0x07, 0x00, 0x01});
    return stream;
}

TEST(RleBitmap, EveryCutOfAValidFileIsRefusedWithoutReadingPastIt) {
    for (uint32_t compression : {kRle8, kRle4}) {
        const std::vector<uint8_t> file = rleFile(9, 4, compression, everyCode(compression));
        ASSERT_TRUE(parse(file)) << compression;
        for (size_t size = 0; size < file.size(); ++size) {
            std::string why;
            EXPECT_FALSE(parse({file.begin(), file.begin() + static_cast<ptrdiff_t>(size)}, &why))
                << compression << " cut to " << size;
            EXPECT_FALSE(why.empty()) << compression << " cut to " << size;
        }
    }
}

// Any byte of the stream changed to any value: the file loads whole or is refused with a reason,
// and nothing is read or written outside the data and the picture.
TEST(RleBitmap, CorruptStreamsLoadWholeOrAreRefused) {
    for (uint32_t compression : {kRle8, kRle4}) {
        const std::vector<uint8_t> stream = everyCode(compression);
        const std::vector<uint8_t> file = rleFile(9, 4, compression, stream);
        const size_t streamAt = file.size() - stream.size();
        int loaded = 0;
        int refused = 0;
        for (size_t at = streamAt; at < file.size(); ++at) {
            for (int value = 0; value < 256; ++value) {
                std::vector<uint8_t> damaged = file;
                damaged[at] = static_cast<uint8_t>(value);
                std::string why;
                const auto bitmap = parse(damaged, &why);
                if (bitmap) {
                    ++loaded;
                    EXPECT_EQ(bitmap->pixels.size(), 9u * 4u);
                } else {
                    ++refused;
                    EXPECT_FALSE(why.empty()) << at << " = " << value;
                }
            }
        }
        // Both outcomes occur: the damage is neither always fatal nor always ignored.
        EXPECT_GT(loaded, 0) << compression;
        EXPECT_GT(refused, 0) << compression;
    }
}

}  // namespace
}  // namespace quelvane
