// assetgen: writes the game's default bitmaps, sounds and music.
//   assetgen [--art DIR] OUTDIR          every asset file into OUTDIR
//   assetgen [--art DIR] --sheet FILE    a contact sheet of every bitmap, as a BMP file
#include <cstdio>
#include <string>

#include "game/gfx/BitmapFile.h"
#include "tools/assetgen/AssetSet.h"
#include "tools/assetgen/ContactSheet.h"

using namespace assetgen;

namespace {
constexpr const char* kUsage =
    "usage: assetgen [--art DIR] OUTDIR\n"
    "       assetgen [--art DIR] --sheet FILE.bmp\n"
    "       assetgen --help\n";
}  // namespace

int main(int argc, char** argv) {
    std::string artDir = ASSETGEN_ART_DIR;
    std::string sheet;
    std::string outDir;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if ((arg == "--art" || arg == "--sheet") && i + 1 < argc) {
            (arg == "--art" ? artDir : sheet) = argv[++i];
        } else if (outDir.empty() && arg.rfind("--", 0) != 0) {
            outDir = arg;
        } else {
            outDir.clear();
            sheet.clear();
            break;
        }
    }
    if (outDir.empty() == sheet.empty()) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    std::string error;
    if (!sheet.empty()) {
        auto bitmaps = makeBitmaps(artDir, error);
        if (!bitmaps || !quelvane::writeBmp(sheet, contactSheet(*bitmaps).toBitmap())) {
            std::fprintf(stderr, "assetgen: %s\n",
                         error.empty() ? ("cannot write " + sheet).c_str() : error.c_str());
            return 1;
        }
        return 0;
    }
    if (!writeAssets(artDir, outDir, error)) {
        std::fprintf(stderr, "assetgen: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
