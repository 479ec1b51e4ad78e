#pragma once

#include <string_view>

#include "game/gfx/Colour.h"
#include "game/gfx/Pen.h"

namespace quelvane {

class Font;
class Surface;

enum class BackgroundMode { Transparent = 1, Opaque = 2 };

// The drawing state of a surface for text and lines, with the settings a GDI device context has:
// a font, a pen, a background mode and colour, a text colour and a current position.
class DeviceContext {
  public:
    explicit DeviceContext(Surface& target) : target_(target) {}

    ColourRef getPixel(int x, int y) const;  // kInvalidColour outside the surface
    void setPixel(int x, int y, ColourRef colour);

    // Each setter returns the setting it replaced. A null font is the stock font.
    const Font* selectFont(const Font* font);
    Pen selectPen(Pen pen);
    BackgroundMode setBkMode(BackgroundMode mode);
    ColourRef setBkColor(ColourRef colour);
    ColourRef setTextColor(ColourRef colour);

    const Font* font() const { return font_; }
    Pen pen() const { return pen_; }
    BackgroundMode bkMode() const { return bkMode_; }
    ColourRef bkColor() const { return bkColor_; }
    ColourRef textColor() const { return textColor_; }

    void moveTo(int x, int y);
    // A line in the pen's colour from the current position up to, not including, (x, y).
    void lineTo(int x, int y);
    // Text with its cell's top-left corner at (x, y).
    void textOut(int x, int y, std::string_view text);

  private:
    void plotLine(int x0, int y0, int x1, int y1);

    Surface& target_;
    const Font* font_ = nullptr;
    Pen pen_{};
    BackgroundMode bkMode_ = BackgroundMode::Opaque;
    ColourRef bkColor_ = rgb(255, 255, 255);
    ColourRef textColor_ = rgb(0, 0, 0);
    int penX_ = 0;
    int penY_ = 0;
};

}  // namespace quelvane
