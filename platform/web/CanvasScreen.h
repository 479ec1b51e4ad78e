#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/GameWindow.h"
#include "platform/LastPicture.h"
#include "platform/SdlHandles.h"

namespace platform {

// The game's window in a page: its canvas, 640 x 480 pixels that the page scales with its aspect
// kept and sharp pixels (web/quelvane-page.js), so the game's picture goes into it unscaled. The
// whole screen is the page's, asked of the browser. SDL's window beside it carries the page's
// keyboard, focus and visibility events to the game.
class CanvasScreen : public GameWindow {
  public:
    // Null when SDL's video cannot start or its window cannot be made.
    static std::unique_ptr<CanvasScreen> create(const char* caption, int width, int height,
                                                const uint32_t* iconArgb);
    ~CanvasScreen() override;
    CanvasScreen(const CanvasScreen&) = delete;
    CanvasScreen& operator=(const CanvasScreen&) = delete;

    // A page cannot take the whole screen unasked: it starts in the page, and F11 or the page's
    // button switches.
    bool open(int width, int height, bool fullScreen) override;
    void present(const uint32_t* pixels, int pitch) override;
    void close() override;

    void toggleFullScreen() override;
    // The page is told too (web/quelvane-page.js).
    void setPaused(bool paused) override;
    void refresh() override;
    SDL_Window* handle() const override;

  private:
    explicit CanvasScreen(WindowPtr window);
    void show(const uint32_t* pixels, int pitch);

    WindowPtr window_;
    int width_ = 0;
    int height_ = 0;
    LastPicture picture_;
    // The picture as the canvas takes it: bytes R, G, B, A.
    std::vector<uint32_t> rgba_;
};

}  // namespace platform
