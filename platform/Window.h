#pragma once

#include <cstdint>
#include <memory>

#include "platform/Screen.h"

struct SDL_Window;

namespace platform {

// The game's one window: borderless, shown at once, with its icon. As the display's screen it shows
// each picture scaled to the window, nearest pixel, with the aspect kept.
class Window : public Screen {
  public:
    // iconArgb: 32 x 32 ARGB8888 pixels, rows top to bottom, or null for none. Null when SDL's
    // video cannot start or the window cannot be made.
    static std::unique_ptr<Window> create(const char* caption, int width, int height,
                                          const uint32_t* iconArgb);
    ~Window() override;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    bool open(int width, int height, bool fullScreen) override;
    void present(const uint32_t* pixels, int pitch) override;
    void close() override;

  private:
    struct Sdl;
    explicit Window(std::unique_ptr<Sdl> sdl);
    std::unique_ptr<Sdl> sdl_;
};

}  // namespace platform
