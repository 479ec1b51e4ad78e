// Checks that a capture of the whole screen shows the game's 640 x 480 picture as a player expects:
// scaled by the largest whole factor that fits, centred, every pixel of it there, black around it.
//   screen_holds_picture SCREEN.bmp PICTURE.bmp
// Reads 24- and 32-bit uncompressed BMPs of either row order. Ends with status 1 and says where
// the screen differs, or prints the placement found.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "platform/ByteOrder.h"

namespace {

struct Image {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;  // 0xRRGGBB, rows from the top
    uint32_t at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

std::optional<Image> readBmp(const char* path) {
    std::ifstream in(path, std::ios::binary);
    const std::vector<uint8_t> file((std::istreambuf_iterator<char>(in)),
                                    std::istreambuf_iterator<char>());
    if (file.size() < 54 || file[0] != 'B' || file[1] != 'M')
        return std::nullopt;
    using byteorder::readLe16;
    using byteorder::readLe32;
    const uint32_t offset = readLe32(&file[10]);
    const auto width = static_cast<int32_t>(readLe32(&file[18]));
    const auto height = static_cast<int32_t>(readLe32(&file[22]));
    const int bits = readLe16(&file[28]);
    if ((bits != 24 && bits != 32) || readLe32(&file[30]) != 0 || width <= 0 || height == 0)
        return std::nullopt;
    Image image;
    image.width = width;
    image.height = height < 0 ? -height : height;
    const size_t rowBytes = (static_cast<size_t>(width) * (bits / 8) + 3) / 4 * 4;
    if (file.size() < offset + rowBytes * image.height)
        return std::nullopt;
    image.pixels.resize(static_cast<size_t>(width) * image.height);
    for (int row = 0; row < image.height; ++row) {
        const uint8_t* in = &file[offset + rowBytes * row];
        const int y = height < 0 ? row : image.height - 1 - row;
        for (int x = 0; x < width; ++x, in += bits / 8)
            image.pixels[static_cast<size_t>(y) * width + x] = byteorder::readLe(in, 3);
    }
    return image;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: screen_holds_picture SCREEN.bmp PICTURE.bmp\n");
        return 2;
    }
    const auto screen = readBmp(argv[1]);
    const auto picture = readBmp(argv[2]);
    if (!screen || !picture) {
        std::fprintf(stderr, "screen_holds_picture: cannot read %s\n", screen ? argv[2] : argv[1]);
        return 2;
    }
    const int factor = std::min(screen->width / picture->width, screen->height / picture->height);
    if (factor < 1) {
        std::fprintf(stderr, "the screen is smaller than the picture\n");
        return 1;
    }
    const int left = (screen->width - picture->width * factor) / 2;
    const int top = (screen->height - picture->height * factor) / 2;
    long wrong = 0, lit = 0;
    std::string first;
    for (int y = 0; y < screen->height; ++y) {
        for (int x = 0; x < screen->width; ++x) {
            const int px = (x - left) / factor, py = (y - top) / factor;
            const bool inside =
                x >= left && y >= top && px < picture->width && py < picture->height;
            const uint32_t expected = inside ? picture->at(px, py) : 0;
            const uint32_t shown = screen->at(x, y);
            lit += expected != 0;
            if (shown == expected)
                continue;
            if (wrong++ == 0) {
                char where[160];
                std::snprintf(where, sizeof where,
                              "at (%d, %d) the screen shows %06X where %06X belongs%s", x, y, shown,
                              expected, inside ? "" : " (the bars)");
                first = where;
            }
        }
    }
    if (lit == 0) {
        std::fprintf(stderr, "the picture is all black: nothing to look for\n");
        return 1;
    }
    if (wrong > 0) {
        std::fprintf(
            stderr,
            "%ld of %d x %d pixels differ from the picture scaled %d times at (%d, %d); first %s\n",
            wrong, screen->width, screen->height, factor, left, top, first.c_str());
        return 1;
    }
    std::printf("the whole picture, %d times, at (%d, %d), black around it\n", factor, left, top);
    return 0;
}
