#pragma once

namespace quelvane::portable {

// atan, sin and cos computed by the game's own code, the same bits on every platform: the C
// libraries differ in the last bit (glibc against the browser build's musl, 1,520 of the 44,439
// calls of the golden game), and one bit can turn a bearing or a heading, and in time the field.
// Within one unit in the last place of the exact result; sin and cos reduce a huge angle (beyond
// about 1.6 million radians, far beyond any the game makes) by whole turns of 2 pi in double.
double atan(double x);
double sin(double x);
double cos(double x);

}  // namespace quelvane::portable
