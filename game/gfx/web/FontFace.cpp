// Browser variant of game/gfx/FontFace.cpp: no fontconfig in a page. The build packs the faces
// fontconfig picks on the desktop (Liberation Mono, Debian's fonts-liberation2) into the page's
// data as /fonts, so the text comes out the same, pixel for pixel.
#include "game/gfx/FontFace.h"

namespace quelvane {

std::string findMonospaceFace(bool bold) {
    return bold ? "/fonts/LiberationMono-Bold.ttf" : "/fonts/LiberationMono-Regular.ttf";
}

}  // namespace quelvane
