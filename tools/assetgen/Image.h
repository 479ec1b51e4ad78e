#pragma once

#include <cstdint>
#include <vector>

#include "game/gfx/BitmapFile.h"

namespace assetgen {

// Colours are 0x00RRGGBB. Black is the game's transparent colour key, so every drawing here keeps
// visible pixels away from exact black.
uint32_t rgb(int r, int g, int b);
uint32_t mixColour(uint32_t a, uint32_t b, float t);
uint32_t scaleColour(uint32_t c, float factor);
// Colour along evenly spaced stops, t from 0 to 1.
uint32_t gradient(const std::vector<uint32_t>& stops, float t);

// An RGB canvas. Writes outside it are dropped, so shapes may overhang its edges.
class Image {
  public:
    Image() = default;
    Image(int width, int height, uint32_t fill = 0);

    int width() const { return w; }
    int height() const { return h; }
    uint32_t at(int x, int y) const;
    void set(int x, int y, uint32_t colour);
    // Paints colour over what is there with the given opacity (0 to 1).
    void blend(int x, int y, uint32_t colour, float alpha);
    // Adds light: used for glows and flames.
    void addLight(int x, int y, uint32_t colour, float amount);
    // Copies the non-black pixels of source with its top-left corner at (x, y).
    void drawOver(const Image& source, int x, int y);
    // Copies a rectangle of source, transparent pixels included.
    Image crop(int x, int y, int width, int height) const;
    Image scaled(int factor) const;
    // Pure black pixels become this colour (for backgrounds of review pictures).
    void fillTransparent(uint32_t colour);
    quelvane::Bitmap toBitmap() const;

  private:
    int w = 0;
    int h = 0;
    std::vector<uint32_t> pixels;
};

}  // namespace assetgen
