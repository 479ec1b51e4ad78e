// The font lookup of the browser build's replay under node, which reads the machine's own files
// (tests/web/libm/node-pre.js mounts the fonts' folder): the faces the desktop's fontconfig picks, from Debian's fonts-liberation2.
#include "game/gfx/FontFace.h"

namespace quelvane {

std::string findMonospaceFace(bool bold) {
    return bold ? "/usr/share/fonts/truetype/liberation2/LiberationMono-Bold.ttf"
                : "/usr/share/fonts/truetype/liberation2/LiberationMono-Regular.ttf";
}

}  // namespace quelvane
