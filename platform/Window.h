#pragma once

#include <cstdint>
#include <memory>

struct SDL_Window;

namespace platform {

// The game's one window: borderless, shown at once, with its icon. The display makes it full
// screen.
class Window {
  public:
    // iconArgb: 32 x 32 ARGB8888 pixels, rows top to bottom, or null for none. Null when SDL's
    // video cannot start or the window cannot be made.
    static std::unique_ptr<Window> create(const char* caption, int width, int height,
                                          const uint32_t* iconArgb);
    ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    SDL_Window* sdlWindow() const { return window_; }

  private:
    explicit Window(SDL_Window* window) : window_(window) {}
    SDL_Window* window_;
};

}  // namespace platform
