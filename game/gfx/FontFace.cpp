#include "game/gfx/FontFace.h"

#include <fontconfig/fontconfig.h>

namespace quelvane {

std::string findMonospaceFace(bool bold) {
    if (!FcInit())
        return {};
    FcPattern* pattern = FcPatternCreate();
    for (const char* family : {"Liberation Mono", "DejaVu Sans Mono", "monospace"}) {
        FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family));
    }
    FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SPACING, FC_MONO);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    std::string file;
    FcChar8* path = nullptr;
    if (match && FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch) {
        file = reinterpret_cast<const char*>(path);
    }
    if (match)
        FcPatternDestroy(match);
    FcPatternDestroy(pattern);
    return file;
}

}  // namespace quelvane
