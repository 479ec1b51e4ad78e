#include "game/gfx/BitmapFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "game/gfx/Display.h"
#include "platform/ByteOrder.h"
#include "support/TempDir.h"

namespace quelvane {
namespace {

namespace fs = std::filesystem;

class BitmapFileTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_FALSE(dir.path().empty()); }

    std::string path(const char* name) { return (dir / name).string(); }

    void writeBytes(const std::string& file, const std::vector<uint8_t>& bytes) {
        std::ofstream(file, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    }

    TempDir dir;
};

// A BITMAPINFOHEADER file of the given depth with rows of zeros.
std::vector<uint8_t> header(int32_t width, int32_t height, uint16_t bits,
                            uint32_t dataOffset = 54) {
    std::vector<uint8_t> b(54, 0);
    auto put = [&b](size_t at, uint32_t v, int n) { byteorder::writeLe(&b[at], v, n); };
    b[0] = 'B';
    b[1] = 'M';
    put(10, dataOffset, 4);
    put(14, 40, 4);
    put(18, static_cast<uint32_t>(width), 4);
    put(22, static_cast<uint32_t>(height), 4);
    put(26, 1, 2);
    put(28, bits, 2);
    return b;
}

TEST_F(BitmapFileTest, WrittenBitmapReadsBackExactlyAndRepeatsByteForByte) {
    Bitmap picture{5, 3, {}};  // 5 columns: rows need padding at 24 bits
    for (int i = 0; i < 15; ++i)
        picture.pixels.push_back(0x010203u * i);
    ASSERT_TRUE(writeBmp(path("a.bmp"), picture));
    ASSERT_TRUE(writeBmp(path("b.bmp"), picture));

    const auto back = readBmp(path("a.bmp"));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->width, 5);
    EXPECT_EQ(back->height, 3);
    EXPECT_EQ(back->pixels, picture.pixels);

    std::ifstream a(path("a.bmp"), std::ios::binary), b(path("b.bmp"), std::ios::binary);
    EXPECT_TRUE(
        std::equal(std::istreambuf_iterator<char>(a), {}, std::istreambuf_iterator<char>(b)));
}

TEST_F(BitmapFileTest, ReadsPalettedTopDownAndBitfieldFiles) {
    // 8-bit, 2 x 2, top-down, palette of two colours.
    std::vector<uint8_t> paletted = header(2, -2, 8, 54 + 8);
    paletted[46] = 2;                                       // colours used
    for (uint8_t v : {0x30, 0x20, 0x10, 0, 0xFF, 0, 0, 0})  // blue, green, red, reserved
        paletted.push_back(v);
    for (uint8_t v : {0, 1, 0, 0, 1, 0, 0, 0})
        paletted.push_back(v);  // rows padded to 4 bytes
    writeBytes(path("p.bmp"), paletted);
    const auto p = readBmp(path("p.bmp"));
    ASSERT_TRUE(p);
    EXPECT_EQ(p->pixels, (std::vector<uint32_t>{0x102030, 0x0000FF, 0x0000FF, 0x102030}));

    // 16-bit 5-6-5 with bit fields, 1 x 1: pure red.
    std::vector<uint8_t> bitfields = header(1, 1, 16, 54 + 12);
    bitfields[30] = 3;
    for (uint32_t mask : {0xF800u, 0x07E0u, 0x001Fu})
        byteorder::appendLe(bitfields, mask, 4);
    for (uint8_t v : {0x00, 0xF8, 0, 0})
        bitfields.push_back(v);
    writeBytes(path("f.bmp"), bitfields);
    const auto f = readBmp(path("f.bmp"));
    ASSERT_TRUE(f);
    EXPECT_EQ(f->pixels[0], 0xFF0000u);
}

TEST_F(BitmapFileTest, DamagedFilesAreRefusedWithoutAllocatingWhatTheyClaim) {
    writeBytes(path("text.bmp"), {'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd'});
    // Claims 60000 x 60000 at 32 bits (14 GB) but holds nothing.
    writeBytes(path("huge.bmp"), header(60000, 60000, 32));
    // Claims 8000 x 8000 at 24 bits, within the side limit, but the pixel data is missing.
    writeBytes(path("truncated.bmp"), header(8000, 8000, 24));
    std::vector<uint8_t> rle = header(1, 1, 8);
    rle[30] = 1;  // run-length compressed
    writeBytes(path("rle.bmp"), rle);
    writeBytes(path("empty.bmp"), {});
    std::vector<uint8_t> offsetPastEnd = header(1, 1, 24, 0xFFFFFFF0);
    offsetPastEnd.resize(60, 0);
    writeBytes(path("offset.bmp"), offsetPastEnd);

    const std::pair<const char*, const char*> refused[] = {
        {"text.bmp", "not a BMP (it does not start with BM)"},
        {"huge.bmp", "size 60000 x 60000 outside 1 to 8192"},
        {"truncated.bmp", "truncated pixels: 192000000 bytes needed, 0 in the file"},
        {"rle.bmp", "palette cut short"},
        {"empty.bmp", "empty file"},
        {"offset.bmp", "pixel data at 4294967280, past the end of the 60-byte file"},
        {"missing.bmp", "no such file"},
    };
    for (const auto& [name, reason] : refused) {
        std::string why;
        EXPECT_FALSE(readBmp(path(name), &why)) << name;
        EXPECT_EQ(why, reason) << name;
        Display display;
        EXPECT_EQ(display.LoadBitmap(path(name).c_str()), nullptr) << name;
    }
}

// Each way a file can fail has its own words, so that a modder knows what to change.
TEST_F(BitmapFileTest, EachRefusalSaysWhy) {
    auto reasonFor = [](const std::vector<uint8_t>& bytes) {
        std::string why = "(none)";
        EXPECT_FALSE(parseBmp(bytes, &why));
        return why;
    };
    std::vector<uint8_t> jpeg = header(4, 4, 24);
    jpeg[30] = 4;
    EXPECT_EQ(reasonFor(jpeg), "unsupported compression JPEG");
    std::vector<uint8_t> bitfields8 = header(4, 4, 8);
    bitfields8[30] = 3;
    EXPECT_EQ(reasonFor(bitfields8), "bit fields at 8 bits per pixel");
    EXPECT_EQ(reasonFor(header(4, 4, 2)), "unsupported depth of 2 bits per pixel");
    EXPECT_EQ(reasonFor(header(0, 4, 24)), "size 0 x 4 outside 1 to 8192");
    std::vector<uint8_t> v2 = header(4, 4, 24);
    v2[14] = 16;  // an OS/2 2.x header cut to 16 bytes
    EXPECT_EQ(reasonFor(v2), "unsupported info header of 16 bytes");
    std::vector<uint8_t> v5 = header(4, 4, 24);
    v5[14] = 124;  // a V5 header, but the file ends inside it
    EXPECT_EQ(reasonFor(v5), "header cut short");
    EXPECT_EQ(reasonFor({'B', 'M', 0, 0}), "header cut short");
    // 8 bits take a palette of 256 colours unless the header says fewer.
    EXPECT_EQ(reasonFor(header(4, 4, 8)), "palette cut short");
    std::vector<uint8_t> masks = header(4, 4, 16);
    masks[30] = 3;
    EXPECT_EQ(reasonFor(masks), "bit field masks cut short");
    // One byte short of the last row.
    std::vector<uint8_t> short24 = header(2, 2, 24);
    short24.resize(54 + 15, 0);
    EXPECT_EQ(reasonFor(short24), "truncated pixels: 16 bytes needed, 15 in the file");
}

TEST_F(BitmapFileTest, FilesThatCannotBeReadWholeSayWhy) {
    std::string why;
    fs::create_directory(dir / "folder.bmp");
    EXPECT_FALSE(readBmp(path("folder.bmp"), &why));
    EXPECT_EQ(why, "not a regular file");
    // Sparse: larger than any bitmap of the largest side, without taking the disk.
    { std::ofstream(path("vast.bmp")) << "BM"; }
    fs::resize_file(path("vast.bmp"), 300'000'000);
    EXPECT_FALSE(readBmp(path("vast.bmp"), &why));
    EXPECT_EQ(why, "too large (300000000 bytes, at most 268439552)");

    // A file that loads leaves the reason untouched.
    why = "kept";
    ASSERT_TRUE(writeBmp(path("fine.bmp"), Bitmap{1, 1, {0x123456}}));
    EXPECT_TRUE(readBmp(path("fine.bmp"), &why));
    EXPECT_EQ(why, "kept");
}

TEST_F(BitmapFileTest, LoadBitmapMakesASurfaceOfTheFilesExactSize) {
    Bitmap picture{41, 37, std::vector<uint32_t>(std::size_t{41} * 37, 0x00FF8000)};
    picture.pixels[0] = 0;
    ASSERT_TRUE(writeBmp(path("alien.bmp"), picture));
    Display display;  // loading needs no screen
    SurfacePtr surface = display.LoadBitmap(path("alien.bmp").c_str());
    ASSERT_TRUE(surface);
    EXPECT_EQ(surface->width(), 41);
    EXPECT_EQ(surface->height(), 37);
    EXPECT_EQ(surface->pixel(40, 36), 0x00FF8000u);
    ASSERT_TRUE(display.SetColorKey(surface.get(), rgb(0, 0, 0)));
    EXPECT_EQ(surface->colourKey(), 0u);
    EXPECT_EQ(surface->pixel(0, 0), 0u) << "matching the key must put pixel (0, 0) back";
}

}  // namespace
}  // namespace quelvane
