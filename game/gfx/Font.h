#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "game/gfx/Colour.h"

struct FT_FaceRec_;

namespace quelvane {

class Surface;
class Font;

// The one font of every text of the game, made at start-up.
extern std::unique_ptr<Font> hudFont;

// Pitch and family bits as the game passes them when it creates a font.
inline constexpr uint32_t kFixedPitch = 0x01;
inline constexpr uint32_t kFamilyModern = 0x30;

// A monospace TrueType face at one size, with the 8-bit character set rendered once when the font
// is made, so drawing text costs only blending.
class Font {
  public:
    // height: the character cell's height in pixels (a negative value gives the em size instead);
    // width: the advance of every character, 0 for the face's own proportions; weight: 700 and
    // above is bold. The face comes from fontconfig; null when no monospace face can be loaded.
    // pitchAndFamily is kept for the callers' sake: every face here is a fixed-pitch one.
    static std::unique_ptr<Font> create(int height, int width, int weight, uint32_t pitchAndFamily);

    // The font a device context has before any font is selected into it.
    static const Font* stock();

    int cellHeight() const { return cellHeight_; }
    int advance() const { return advance_; }

    // Draws text with the top-left corner of its first cell at (x, y), clipped to the surface; when
    // opaque, the cells are first filled with backColour.
    void draw(Surface& surface, int x, int y, std::string_view text, ColourRef textColour,
              bool opaque, ColourRef backColour) const;

  private:
    struct Glyph {
        int left = 0;  // from the cell's left edge
        int top = 0;   // from the cell's top edge
        int width = 0;
        int height = 0;
        std::vector<uint8_t> coverage;
    };

    Font() = default;
    // The glyph of one character at the face's current size, kept when the face has one.
    void renderGlyph(FT_FaceRec_* face, int code, int baseline);

    int cellHeight_ = 0;
    int advance_ = 0;
    std::array<Glyph, 256> glyphs_;
};

}  // namespace quelvane
