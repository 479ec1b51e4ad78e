#pragma once

#include <cstdint>
#include <memory>

#include "platform/GameWindow.h"
#include "platform/LastPicture.h"

struct SDL_Window;

namespace platform {

// The game's one window, with its icon. As the display's screen it shows each picture scaled as the
// display options say, centred and letterboxed in black. It starts full screen on the desktop's
// own mode or as a resizable window, and F11 switches between the two.
class Window : public GameWindow {
  public:
    // iconArgb: 32 x 32 ARGB8888 pixels, rows top to bottom, or null for none. Null when SDL's
    // video cannot start or the window cannot be made. The window shows once it is opened.
    static std::unique_ptr<Window> create(const char* caption, int width, int height,
                                          const uint32_t* iconArgb);
    ~Window() override;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    // fullScreen asks for the whole screen; the player's --window overrides it. The window shows
    // the last picture again when it is uncovered or resized while the game is paused.
    bool open(int width, int height, bool fullScreen) override;
    void present(const uint32_t* pixels, int pitch) override;
    void close() override;

    bool isFullScreen() const;
    void toggleFullScreen() override;
    void setPaused(bool paused) override;
    void refresh() override;
    // True when pictures go to the window's own surface, scaled in memory, rather than through a
    // (possibly hardware) renderer.
    bool presentsInSoftware() const;
    // SDL's window; tests look at what it shows.
    SDL_Window* handle() const override;

  private:
    struct Sdl;
    explicit Window(std::unique_ptr<Sdl> sdl);
    // What close gives back; the destructor calls it too.
    void release();
    // Asks the windowing system the size of what is drawn into.
    void measure();
    void show(const uint32_t* pixels, int pitch);
    void showInSoftware(const uint32_t* pixels, int pitch);
    void showWithRenderer(const uint32_t* pixels, int pitch);

    std::unique_ptr<Sdl> sdl_;
    int width_ = 0;
    int height_ = 0;
    LastPicture picture_;
};

}  // namespace platform
