#include "platform/Window.h"

#include <SDL.h>

#include "platform/SdlHandles.h"

namespace platform {

struct Window::Sdl {
    // Members are destroyed in reverse order: the texture before its renderer, the renderer before
    // its window.
    WindowPtr window;
    RendererPtr renderer;
    TexturePtr texture;
};

Window::Window(std::unique_ptr<Sdl> sdl) : sdl_(std::move(sdl)) {}

std::unique_ptr<Window> Window::create(const char* caption, int width, int height,
                                       const uint32_t* iconArgb) {
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
        return nullptr;
    auto sdl = std::make_unique<Sdl>();
    sdl->window.reset(SDL_CreateWindow(caption, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                       width, height, SDL_WINDOW_BORDERLESS | SDL_WINDOW_SHOWN));
    if (!sdl->window) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return nullptr;
    }
    if (iconArgb) {
        const SdlSurfacePtr icon(SDL_CreateRGBSurfaceWithFormatFrom(
            const_cast<uint32_t*>(iconArgb), 32, 32, 32, 32 * 4, SDL_PIXELFORMAT_ARGB8888));
        if (icon)
            SDL_SetWindowIcon(sdl->window.get(), icon.get());
    }
    return std::unique_ptr<Window>(new Window(std::move(sdl)));
}

Window::~Window() {
    close();
    sdl_->window.reset();
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

bool Window::open(int width, int height, bool fullScreen) {
    close();
    SDL_Window* window = sdl_->window.get();
    // Full screen on the desktop's own mode: the picture is scaled, the monitor's mode never
    // changes.
    if (fullScreen && SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN_DESKTOP) != 0)
        return false;
    sdl_->renderer.reset(SDL_CreateRenderer(window, -1, 0));
    if (!sdl_->renderer)
        return false;
    // Sharp pixels and black bars rather than a blurred or stretched picture.
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
    sdl_->texture.reset(SDL_CreateTexture(sdl_->renderer.get(), SDL_PIXELFORMAT_RGB888,
                                          SDL_TEXTUREACCESS_STREAMING, width, height));
    if (!sdl_->texture || SDL_RenderSetLogicalSize(sdl_->renderer.get(), width, height) != 0) {
        close();
        return false;
    }
    return true;
}

void Window::present(const uint32_t* pixels, int pitch) {
    SDL_Renderer* renderer = sdl_->renderer.get();
    if (!renderer)
        return;
    // A minimised or hidden window shows nothing; skipping the copy keeps the frame's pace.
    if (SDL_GetWindowFlags(sdl_->window.get()) & (SDL_WINDOW_MINIMIZED | SDL_WINDOW_HIDDEN))
        return;
    if (SDL_UpdateTexture(sdl_->texture.get(), nullptr, pixels, pitch) != 0)
        return;
    SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
    SDL_RenderClear(renderer);
    SDL_RenderCopy(renderer, sdl_->texture.get(), nullptr, nullptr);
    SDL_RenderPresent(renderer);
}

void Window::close() {
    sdl_->texture.reset();
    sdl_->renderer.reset();
}

}  // namespace platform
