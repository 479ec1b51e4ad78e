#pragma once

#include <cstdint>
#include <vector>

#include "platform/WholeScaling.h"

namespace platform {

// The picture a window's surface holds, widened by a whole factor. From one picture to the next
// little changes (stars, sprites, the HUD), so a picture given again rewrites only the runs of
// pixels that changed: on a large screen that is a small part of the bytes a whole widening writes.
// Pictures that change all over are widened whole, as comparing them would only add to the cost.
class WidenedPicture {
  public:
    // The surface no longer holds the last picture (it is new, cleared or uncovered): the next one
    // is widened whole.
    void forget();
    // Leaves at `to` the width x height picture at `from` scaled by factor, as scaleWhole would.
    void widen(const uint32_t* from, int pitch, int width, int height, int factor,
               const PixelRows& to);

  private:
    void widenWhole(const uint32_t* from, int pitch, int width, int height, int factor,
                    const PixelRows& to);
    // The number of pixels widened.
    int widenChangedRow(const uint32_t* in, int y, const PixelRows& to);

    // The picture last widened, rows of width_ pixels, and where it went.
    std::vector<uint32_t> last_;
    int width_ = 0;
    int height_ = 0;
    int factor_ = 0;
    PixelRows target_{nullptr, 0};
    // Pictures still to widen whole, without comparing, after one that changed nearly everywhere.
    int wholeLeft_ = 0;
};

}  // namespace platform
