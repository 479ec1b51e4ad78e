// quelvane-icons: writes the desktop icons, the window's ship in 32 x 32 pixels and grown to
// 128 x 128, as quelvane-32.png and quelvane-128.png in OUTDIR.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "game/gfx/ShipIcon.h"
#include "tools/icons/PngFile.h"

namespace {
constexpr const char* kUsage = "usage: quelvane-icons OUTDIR\n       quelvane-icons --help\n";
constexpr int kSide = static_cast<int>(quelvane::kShipIconSide);
}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (argc != 2 || argv[1][0] == '-') {
        std::fputs(kUsage, stderr);
        return 2;
    }
    const auto ship = quelvane::shipIcon();
    const std::vector<uint32_t> small(ship.begin(), ship.end());
    const std::string dir = argv[1];
    for (const int factor : {1, 4}) {
        const int side = kSide * factor;
        const std::string file = dir + "/quelvane-" + std::to_string(side) + ".png";
        if (!icons::writePng(file, side, side, icons::enlarge(small, kSide, kSide, factor))) {
            std::fprintf(stderr, "quelvane-icons: cannot write %s\n", file.c_str());
            return 1;
        }
    }
    return 0;
}
