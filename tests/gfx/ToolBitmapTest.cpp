// Bitmaps as modders make them: written by ImageMagick at test time from a picture the test draws,
// and by GIMP once (tests/gfx/bitmaps/README.md says how).
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <set>
#include <string>
#include <utility>

#include "game/gfx/BitmapFile.h"
#include "support/TempDir.h"

namespace quelvane {
namespace {

// The depth and compression a file's header gives, to be sure of what a tool wrote. The old OS/2
// header of 12 bytes has its depth elsewhere and no compression.
std::pair<int, int> depthAndCompression(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    unsigned char header[34] = {};
    in.read(reinterpret_cast<char*>(header), sizeof header);
    if (header[14] == 12)
        return {header[24] | header[25] << 8, 0};
    return {header[28] | header[29] << 8, header[30] | header[31] << 8};
}

constexpr std::pair<int, int> kPlain8Bits{8, 0};
constexpr std::pair<int, int> kRle8Bits{8, 1};
constexpr std::pair<int, int> kPlain4Bits{4, 0};
constexpr std::pair<int, int> kRle4Bits{4, 2};

// A width x height picture of the given number of colours, none black. Every row has a run longer
// than the 255 pixels one code can give, a stretch whose colour changes at every pixel (absolute
// runs), pairs, and a last pixel of its own; widths are odd, so absolute runs need their pad.
Bitmap drawPicture(int colours, int width, int height) {
    auto colour = [colours](int i) {
        const uint32_t c = static_cast<uint32_t>(i % colours);
        return (c * 6 << 16) | ((255 - c * 6) << 8) | ((c * 37 + 1) & 0xFF);
    };
    Bitmap picture{width, height, {}};
    for (int y = 0; y < height; ++y) {
        const int run = std::min(width - 40, 260 + y);
        for (int x = 0; x < width; ++x) {
            if (x < run)
                picture.pixels.push_back(colour(y));
            else if (x < width - 5)
                picture.pixels.push_back(colour(x * 7 + y * 3));
            else
                picture.pixels.push_back(colour((x - (width - 5)) / 2 + y));
        }
    }
    return picture;
}

class ImageMagickBitmaps : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_FALSE(dir.path().empty()); }

    std::string path(const std::string& name) { return (dir / name).string(); }

    // ImageMagick's convert, run in the test's folder; scripts/packages.txt installs it.
    void convert(const std::string& arguments) {
        const std::string command =
            "cd '" + dir.path().string() + "' && convert " + arguments + " 2>&1";
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
    }

    void expectPicture(const std::string& name, std::pair<int, int> kind, const Bitmap& picture) {
        EXPECT_EQ(depthAndCompression(path(name)), kind) << name;
        std::string why;
        const auto bitmap = readBmp(path(name), &why);
        ASSERT_TRUE(bitmap) << name << ": " << why;
        EXPECT_EQ(bitmap->width, picture.width) << name;
        EXPECT_EQ(bitmap->height, picture.height) << name;
        EXPECT_EQ(bitmap->pixels, picture.pixels) << name;
    }

    TempDir dir;
};

// The modder's own steps: a palette PNG, then `convert art.png upg_m.bmp`, which ImageMagick
// writes RLE8-compressed. Every file must give the drawn picture, exactly as the uncompressed
// twin does.
TEST_F(ImageMagickBitmaps, PaletteFilesOfUpTo256ColoursLoadWithTheirPicturesPixels) {
    const Bitmap picture = drawPicture(40, 301, 7);
    ASSERT_TRUE(writeBmp(path("picture.bmp"), picture));
    convert("picture.bmp -type Palette art.png");
    convert("art.png upg_m.bmp");
    convert("picture.bmp -type Palette -compress RLE BMP3:rle8.bmp");
    convert("picture.bmp -type Palette -compress None BMP3:plain8.bmp");
    expectPicture("upg_m.bmp", kRle8Bits, picture);
    expectPicture("rle8.bmp", kRle8Bits, picture);
    expectPicture("plain8.bmp", kPlain8Bits, picture);
}

// Up to 16 colours ImageMagick writes 4 bits uncompressed, and with -compress RLE 8 bits, the only
// depth it compresses.
TEST_F(ImageMagickBitmaps, SixteenColourFilesLoadWithTheirPicturesPixels) {
    const Bitmap picture = drawPicture(12, 45, 5);
    ASSERT_TRUE(writeBmp(path("picture.bmp"), picture));
    convert("picture.bmp -colors 16 BMP3:plain4.bmp");
    convert("picture.bmp -colors 16 -compress RLE BMP3:rle.bmp");
    convert(
        "picture.bmp -colors 16 BMP2:os2.bmp");  // the old OS/2 header: 8 bits, never compressed
    expectPicture("plain4.bmp", kPlain4Bits, picture);
    expectPicture("rle.bmp", kRle8Bits, picture);
    expectPicture("os2.bmp", kPlain4Bits, picture);
}

TEST(GimpBitmaps, RleFilesLoadWithThePixelsOfTheirUncompressedTwins) {
    const std::string folder = std::string(QUELVANE_SOURCE_DIR) + "/tests/gfx/bitmaps/";
    const std::pair<std::string, std::pair<int, int>> pairs[][2] = {
        {{"gimp-rle4.bmp", kRle4Bits}, {"gimp-plain4.bmp", kPlain4Bits}},
        {{"gimp-rle8.bmp", kRle8Bits}, {"gimp-plain8.bmp", kPlain8Bits}},
    };
    for (const auto& [encoded, plain] : pairs) {
        EXPECT_EQ(depthAndCompression(folder + encoded.first), encoded.second) << encoded.first;
        EXPECT_EQ(depthAndCompression(folder + plain.first), plain.second) << plain.first;
        std::string why;
        const auto decoded = readBmp(folder + encoded.first, &why);
        ASSERT_TRUE(decoded) << encoded.first << ": " << why;
        const auto twin = readBmp(folder + plain.first);
        ASSERT_TRUE(twin) << plain.first;
        EXPECT_EQ(decoded->width, twin->width);
        EXPECT_EQ(decoded->height, twin->height);
        EXPECT_EQ(decoded->pixels, twin->pixels) << encoded.first;
        // A real picture, not a blank that any decoding would match.
        EXPECT_GT(std::set<uint32_t>(twin->pixels.begin(), twin->pixels.end()).size(), 5u);
    }
}

}  // namespace
}  // namespace quelvane
