#include "platform/Placement.h"

#include <algorithm>

namespace platform {

namespace {

Placement centred(int windowWidth, int windowHeight, int width, int height) {
    return {(windowWidth - width) / 2, (windowHeight - height) / 2, width, height};
}

}  // namespace

Placement placePicture(int windowWidth, int windowHeight, int pictureWidth, int pictureHeight,
                       Scaling scaling) {
    if (windowWidth <= 0 || windowHeight <= 0 || pictureWidth <= 0 || pictureHeight <= 0)
        return {};
    const int factor = std::min(windowWidth / pictureWidth, windowHeight / pictureHeight);
    if (scaling == Scaling::Sharp && factor >= 1)
        return centred(windowWidth, windowHeight, pictureWidth * factor, pictureHeight * factor);
    // Fill the height; when that is too wide, fill the width instead.
    const long long heightFilledWidth =
        static_cast<long long>(windowHeight) * pictureWidth / pictureHeight;
    if (heightFilledWidth <= windowWidth)
        return centred(windowWidth, windowHeight, static_cast<int>(heightFilledWidth),
                       windowHeight);
    const auto widthFilledHeight =
        static_cast<int>(static_cast<long long>(windowWidth) * pictureHeight / pictureWidth);
    return centred(windowWidth, windowHeight, windowWidth, widthFilledHeight);
}

}  // namespace platform
