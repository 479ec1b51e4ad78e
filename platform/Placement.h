#pragma once

namespace platform {

// How the game's picture is scaled to the window.
enum class Scaling {
    Sharp,   // nearest pixel, by the largest whole factor that fits
    Smooth,  // linear filtering, as large as fits with the aspect kept
};

// A rectangle of the window, in pixels.
struct Placement {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool operator==(const Placement&) const = default;
};

// Where a picture of pictureWidth x pictureHeight goes in a window of windowWidth x windowHeight:
// centred, its aspect kept, the rest of the window black. A window smaller than the picture gets
// the picture shrunk to fit in both modes, since no whole factor fits.
Placement placePicture(int windowWidth, int windowHeight, int pictureWidth, int pictureHeight,
                       Scaling scaling);

}  // namespace platform
