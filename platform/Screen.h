#pragma once

#include <cstdint>

namespace platform {

// Where the display's finished pictures are shown. The game draws into memory and hands each
// finished picture over, so nothing above the platform layer needs the windowing library.
class Screen {
  public:
    virtual ~Screen() = default;
    // Prepares to show pictures of width x height, on the whole screen or in a window; false when
    // it cannot.
    virtual bool open(int width, int height, bool fullScreen) = 0;
    // Shows one XRGB8888 picture whose rows are pitch bytes apart. The pixels stay as they are
    // until the next present or close, so the screen may show them again meanwhile.
    virtual void present(const uint32_t* pixels, int pitch) = 0;
    // Gives back what open took; the screen may be opened again.
    virtual void close() = 0;
};

}  // namespace platform
