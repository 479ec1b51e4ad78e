#pragma once

#include <functional>
#include <utility>
#include <vector>

#include "tools/assetgen/Image.h"

namespace assetgen {

// Anti-aliased drawing: each pixel is sampled 4 x 4 times and painted by the share of samples
// inside. A shape is a test "is this point inside", in pixel coordinates (pixel centres at .5).
using Inside = std::function<bool(float x, float y)>;

float coverage(const Inside& inside, int px, int py);
void fillShape(Image& image, const Inside& inside, uint32_t colour, float alpha = 1.0f);
// Paints each covered pixel with a colour chosen by position (for shading).
void shadeShape(Image& image, const Inside& inside,
                const std::function<uint32_t(float x, float y)>& colourAt);

void fillCircle(Image& image, float cx, float cy, float radius, uint32_t colour,
                float alpha = 1.0f);
void fillRing(Image& image, float cx, float cy, float inner, float outer, uint32_t colour,
              float alpha = 1.0f);
void drawLine(Image& image, float x0, float y0, float x1, float y1, float thickness,
              uint32_t colour, float alpha = 1.0f);
// Additive soft light, strongest at the centre and gone at radius.
void glow(Image& image, float cx, float cy, float radius, uint32_t colour, float strength);

// Colour of a curved surface with the given normal (nx, ny; the third part follows) under a light
// from the upper left, with a highlight of the given strength.
uint32_t litColour(uint32_t base, float nx, float ny, float shine);
// A closed polygon, even-odd rule.
Inside polygon(std::vector<std::pair<float, float>> points);
// Shaded ellipsoid: a rounded body lit from the upper left.
void fillEllipsoid(Image& image, float cx, float cy, float rx, float ry, uint32_t base,
                   float shine);

// Distance from (px, py) to the segment (x0, y0)-(x1, y1).
float segmentDistance(float px, float py, float x0, float y0, float x1, float y1);

}  // namespace assetgen
