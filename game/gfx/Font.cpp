#include "game/gfx/Font.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H
#include FT_ADVANCES_H

#include <algorithm>
#include <cmath>
#include <string>

#include "game/gfx/FontFace.h"
#include "game/gfx/Surface.h"

namespace quelvane {

std::unique_ptr<Font> hudFont;

namespace {

struct FaceCloser {
    void operator()(FT_Face face) const { FT_Done_Face(face); }
};
struct LibraryCloser {
    void operator()(FT_Library library) const { FT_Done_FreeType(library); }
};
using LibraryPtr = std::unique_ptr<FT_LibraryRec_, LibraryCloser>;
using FacePtr = std::unique_ptr<FT_FaceRec_, FaceCloser>;

// The monospace face fontconfig picks, scalable, or null.
FacePtr openFace(FT_Library library, bool bold) {
    const std::string file = findMonospaceFace(bold);
    FT_Face face;
    if (file.empty() || FT_New_Face(library, file.c_str(), 0, &face) != 0)
        return nullptr;
    FacePtr owned(face);
    return FT_IS_SCALABLE(face) ? std::move(owned) : nullptr;
}

// The cell in pixels and the size the face is set to for it.
struct CellSize {
    int height = 0;
    int advance = 0;
    int baseline = 0;  // from the cell's top
    double verticalEm = 0;
    double horizontalEm = 0;
};

// A vertical em that makes the cell `height` high (a negative height is the em itself), and a
// horizontal one that makes each advance `width` (0 keeps the face's proportions).
CellSize cellSize(FT_Face face, int height, int width) {
    // Cell metrics in font units: the Windows ascent and descent where the face has them.
    const double units = face->units_per_EM;
    double ascent = face->ascender, descent = -face->descender;
    if (auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2))) {
        if (os2->usWinAscent + os2->usWinDescent > 0) {
            ascent = os2->usWinAscent;
            descent = os2->usWinDescent;
        }
    }
    FT_Fixed advanceUnits = 0;
    if (FT_Get_Advance(face, 'x', FT_LOAD_NO_SCALE, &advanceUnits) != 0 || advanceUnits <= 0)
        advanceUnits = face->max_advance_width;

    if (height == 0)
        height = 16;
    CellSize cell;
    cell.verticalEm = height > 0 ? height * units / (ascent + descent) : -height;
    cell.height = height > 0
                      ? height
                      : static_cast<int>(std::lround(cell.verticalEm * (ascent + descent) / units));
    cell.horizontalEm = width > 0 ? width * units / advanceUnits : cell.verticalEm;
    cell.advance =
        width > 0
            ? width
            : std::max(1, static_cast<int>(std::lround(advanceUnits * cell.horizontalEm / units)));
    cell.baseline = static_cast<int>(std::lround(ascent * cell.verticalEm / units));
    return cell;
}

}  // namespace

std::unique_ptr<Font> Font::create(int height, int width, int weight, uint32_t) {
    FT_Library rawLibrary;
    if (FT_Init_FreeType(&rawLibrary) != 0)
        return nullptr;
    const LibraryPtr library(rawLibrary);
    const FacePtr face = openFace(library.get(), weight >= 600);
    if (!face)
        return nullptr;
    const CellSize cell = cellSize(face.get(), height, width);
    if (FT_Set_Char_Size(face.get(), std::lround(cell.horizontalEm * 64),
                         std::lround(cell.verticalEm * 64), 72, 72) != 0) {
        return nullptr;
    }
    std::unique_ptr<Font> font(new Font());
    font->cellHeight_ = cell.height;
    font->advance_ = cell.advance;
    // The 8-bit characters are taken as Latin-1; control codes have no glyph.
    for (int code = 0x20; code < 256; ++code) {
        if (code < 0x7F || code >= 0xA0)
            font->renderGlyph(face.get(), code, cell.baseline);
    }
    return font;
}

void Font::renderGlyph(FT_FaceRec_* face, int code, int baseline) {
    if (FT_Load_Char(face, code, FT_LOAD_RENDER | FT_LOAD_TARGET_LIGHT) != 0)
        return;
    const FT_GlyphSlot slot = face->glyph;
    const FT_Bitmap& bm = slot->bitmap;
    if (bm.pixel_mode != FT_PIXEL_MODE_GRAY)
        return;
    Glyph& g = glyphs_[code];
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

const Font* Font::stock() {
    static const std::unique_ptr<Font> font = create(16, 0, 700, kFamilyModern);
    return font.get();
}

void Font::draw(Surface& surface, int x, int y, std::string_view text, ColourRef textColour,
                bool opaque, ColourRef backColour) const {
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
