#include "platform/PictureReport.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/ByteOrder.h"

namespace platform {

const char* pausedPictureFile() {
    const char* file = std::getenv("QUELVANE_PAUSED_PICTURE");
    return file && *file ? file : nullptr;
}

void reportPicture(const char* file, const uint32_t* pixels, int width, int height, int pitch) {
    using byteorder::appendLe;
    const uint32_t imageBytes = static_cast<uint32_t>(width) * static_cast<uint32_t>(height) * 4;
    std::vector<uint8_t> bmp{'B', 'M'};
    bmp.reserve(54 + imageBytes);
    appendLe(bmp, 54 + imageBytes, 4);
    appendLe(bmp, 0, 4);
    appendLe(bmp, 54, 4);
    appendLe(bmp, 40, 4);
    appendLe(bmp, static_cast<uint32_t>(width), 4);
    // A negative height: rows from the top, as the picture has them.
    appendLe(bmp, static_cast<uint32_t>(-height), 4);
    appendLe(bmp, 1, 2);
    appendLe(bmp, 32, 2);
    appendLe(bmp, 0, 4);  // BI_RGB
    appendLe(bmp, imageBytes, 4);
    for (int i = 0; i < 4; ++i)
        appendLe(bmp, 0, 4);
    for (int y = 0; y < height; ++y) {
        const uint32_t* row = pixels + static_cast<size_t>(y) * static_cast<size_t>(pitch / 4);
        for (int x = 0; x < width; ++x)
            appendLe(bmp, row[x] & 0x00FFFFFF, 4);
    }
    // Written beside and renamed over, so that a reader never sees half a picture.
    const std::string part = std::string(file) + ".part";
    std::FILE* out = std::fopen(part.c_str(), "wb");
    if (!out)
        return;
    const bool written = std::fwrite(bmp.data(), 1, bmp.size(), out) == bmp.size();
    if (std::fclose(out) == 0 && written)
        std::rename(part.c_str(), file);
    else
        std::remove(part.c_str());
}

}  // namespace platform
