#include "game/gfx/Font.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H
#include FT_ADVANCES_H

#include <algorithm>
#include <cmath>
#include <string>

#include "game/gfx/Surface.h"

namespace quelvane {

std::unique_ptr<Font> hudFont;

namespace {

// The face file fontconfig picks for a monospace font of this weight, or "" when there is none.
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

struct FaceCloser {
    void operator()(FT_Face face) const { FT_Done_Face(face); }
};
struct LibraryCloser {
    void operator()(FT_Library library) const { FT_Done_FreeType(library); }
};

}  // namespace

std::unique_ptr<Font> Font::create(int height, int width, int weight, uint32_t) {
    FT_Library rawLibrary;
    if (FT_Init_FreeType(&rawLibrary) != 0)
        return nullptr;
    std::unique_ptr<FT_LibraryRec_, LibraryCloser> library(rawLibrary);

    const std::string file = findMonospaceFace(weight >= 600);
    FT_Face rawFace;
    if (file.empty() || FT_New_Face(library.get(), file.c_str(), 0, &rawFace) != 0)
        return nullptr;
    std::unique_ptr<FT_FaceRec_, FaceCloser> face(rawFace);
    if (!FT_IS_SCALABLE(face.get()))
        return nullptr;

    // Cell metrics in font units: the Windows ascent and descent where the face has them.
    const double units = face->units_per_EM;
    double ascent = face->ascender, descent = -face->descender;
    if (auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face.get(), FT_SFNT_OS2))) {
        if (os2->usWinAscent + os2->usWinDescent > 0) {
            ascent = os2->usWinAscent;
            descent = os2->usWinDescent;
        }
    }
    FT_Fixed advanceUnits = 0;
    if (FT_Get_Advance(face.get(), 'x', FT_LOAD_NO_SCALE, &advanceUnits) != 0 ||
        advanceUnits <= 0) {
        advanceUnits = face->max_advance_width;
    }

    // A vertical em that makes the cell `height` high, a horizontal one that makes each advance
    // `width`.
    if (height == 0)
        height = 16;
    const double verticalEm = height > 0 ? height * units / (ascent + descent) : -height;
    const int cellHeight =
        height > 0 ? height
                   : static_cast<int>(std::lround(verticalEm * (ascent + descent) / units));
    const double horizontalEm = width > 0 ? width * units / advanceUnits : verticalEm;
    const int advance =
        width > 0 ? width
                  : std::max(1, static_cast<int>(std::lround(advanceUnits * horizontalEm / units)));
    if (FT_Set_Char_Size(face.get(), std::lround(horizontalEm * 64), std::lround(verticalEm * 64),
                         72, 72) != 0) {
        return nullptr;
    }
    const int baseline = static_cast<int>(std::lround(ascent * verticalEm / units));

    std::unique_ptr<Font> font(new Font());
    font->cellHeight_ = cellHeight;
    font->advance_ = advance;
    // The 8-bit characters are taken as Latin-1; control codes have no glyph.
    for (int code = 0x20; code < 256; ++code) {
        if (code >= 0x7F && code < 0xA0)
            continue;
        if (FT_Load_Char(face.get(), code, FT_LOAD_RENDER | FT_LOAD_TARGET_LIGHT) != 0)
            continue;
        const FT_GlyphSlot slot = face->glyph;
        const FT_Bitmap& bm = slot->bitmap;
        if (bm.pixel_mode != FT_PIXEL_MODE_GRAY)
            continue;
        Glyph& g = font->glyphs_[code];
        g.left = slot->bitmap_left;
        g.top = baseline - slot->bitmap_top;
        g.width = static_cast<int>(bm.width);
        g.height = static_cast<int>(bm.rows);
        g.coverage.resize(static_cast<size_t>(g.width) * g.height);
        for (int row = 0; row < g.height; ++row) {
            std::copy_n(bm.buffer + static_cast<ptrdiff_t>(row) * bm.pitch, g.width,
                        &g.coverage[static_cast<size_t>(row) * g.width]);
        }
    }
    return font;
}

const Font* Font::stock() {
    static const std::unique_ptr<Font> font = create(16, 0, 700, kFamilyModern);
    return font.get();
}

void Font::draw(Surface& surface, int x, int y, std::string_view text, ColorRef textColour,
                bool opaque, ColorRef backColour) const {
    if (opaque) {
        const int right = x + advance_ * static_cast<int>(text.size());
        surface.fill(pixelFromColour(backColour), x, y, right, y + cellHeight_);
    }
    const uint32_t tr = textColour & 0xFF, tg = (textColour >> 8) & 0xFF,
                   tb = (textColour >> 16) & 0xFF;
    const int w = surface.width(), h = surface.height();
    uint32_t* pixels = surface.data();
    for (size_t i = 0; i < text.size(); ++i) {
        const Glyph& g = glyphs_[static_cast<uint8_t>(text[i])];
        const int gx = x + static_cast<int>(i) * advance_ + g.left;
        const int gy = y + g.top;
        for (int row = 0; row < g.height; ++row) {
            const int py = gy + row;
            if (py < 0 || py >= h)
                continue;
            for (int col = 0; col < g.width; ++col) {
                const int px = gx + col;
                const uint32_t a = g.coverage[static_cast<size_t>(row) * g.width + col];
                if (px < 0 || px >= w || a == 0)
                    continue;
                uint32_t& dst = pixels[static_cast<size_t>(py) * w + px];
                const uint32_t dr = (dst >> 16) & 0xFF, dg = (dst >> 8) & 0xFF, db = dst & 0xFF;
                const uint32_t r = (tr * a + dr * (255 - a) + 127) / 255;
                const uint32_t gg = (tg * a + dg * (255 - a) + 127) / 255;
                const uint32_t b = (tb * a + db * (255 - a) + 127) / 255;
                dst = (r << 16) | (gg << 8) | b;
            }
        }
    }
}

}  // namespace quelvane
