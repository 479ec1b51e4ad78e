#pragma once

struct SDL_Window;

namespace platform {

// What the platform's message pump does to the game's window: it shows a pause, repaints, and
// switches full screen. The window attaches itself to the pump while it is open (attachWindow).
class AttachedWindow {
  public:
    virtual void toggleFullScreen() = 0;
    // While paused the window shows the last picture with "Paused" over it.
    virtual void setPaused(bool paused) = 0;
    // Shows the last picture again, and the bars, after the window was uncovered or resized.
    virtual void refresh() = 0;
    // SDL's window, whose display a paused game sleeps on.
    virtual SDL_Window* handle() const = 0;

  protected:
    AttachedWindow() = default;
    ~AttachedWindow() = default;
    AttachedWindow(const AttachedWindow&) = default;
    AttachedWindow& operator=(const AttachedWindow&) = default;
};

}  // namespace platform
