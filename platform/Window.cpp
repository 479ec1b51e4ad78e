#include "platform/Window.h"

#include <SDL.h>
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <filesystem>

#include "platform/DisplayLoss.h"
#include "platform/DisplayOptions.h"
#include "platform/NativeWindow.h"
#include "platform/Placement.h"
#include "platform/Platform.h"
#include "platform/SdlHandles.h"
#include "platform/WholeScaling.h"
#include "platform/WidenedPicture.h"

namespace platform {

namespace {

// Room left for a title bar when the window's first size is chosen.
constexpr int kTitleBarAllowance = 48;
constexpr int kMinimumWidth = 160;
constexpr int kMinimumHeight = 120;

// True when the user may have a GPU: a DRM render node or NVIDIA's device this user can open.
// Without one, Mesa's OpenGL runs on the CPU, costing tens of megabytes of libraries and more time
// than scaling the picture in memory.
bool gpuAvailable() {
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/dev/dri", error)) {
        if (entry.path().filename().string().rfind("renderD", 0) == 0 &&
            access(entry.path().c_str(), R_OK | W_OK) == 0)
            return true;
    }
    return access("/dev/nvidiactl", R_OK | W_OK) == 0;
}

// The renderer (OpenGL and the like) scales in hardware and waits for the vertical blank; without
// a GPU the window's own surface is the cheaper way. SDL_RENDER_DRIVER chooses for the user.
bool wantRenderer() {
    const char* driver = SDL_GetHint(SDL_HINT_RENDER_DRIVER);
    if (driver && *driver)
        return SDL_strcasecmp(driver, "software") != 0;
    const char* video = SDL_GetCurrentVideoDriver();
    if (video && (std::strcmp(video, "dummy") == 0 || std::strcmp(video, "offscreen") == 0))
        return false;
    return gpuAvailable();
}

// The largest whole multiple of the picture that fits on the desktop, title bar included.
int windowedFactor(int width, int height) {
    SDL_Rect usable;
    if (SDL_GetDisplayUsableBounds(0, &usable) != 0)
        return 1;
    return std::max(1, std::min(usable.w / width, (usable.h - kTitleBarAllowance) / height));
}

bool isXrgb32(const SDL_Surface* surface) {
    return surface->format->format == SDL_PIXELFORMAT_RGB888 ||
           surface->format->format == SDL_PIXELFORMAT_ARGB8888;
}

}  // namespace

struct Window::Sdl {
    // Members are destroyed in reverse order: the texture before its renderer, the renderer before
    // its window.
    WindowPtr window;
    RendererPtr renderer;
    TexturePtr texture;
    bool software = false;
    Scaling scaling = Scaling::Sharp;
    // The window surface last cleared to black, and its size: a new or resized surface is cleared
    // once, not on every picture.
    SDL_Surface* cleared = nullptr;
    int clearedWidth = 0;
    int clearedHeight = 0;
    // What of the picture the window surface holds, so that only what changed is widened again.
    WidenedPicture widened;
    // The size of what is actually drawn into, where the windowing system tells it; measured
    // whenever the window may have changed.
    DrawnSize drawn;
    bool drawnKnown = false;
    // Where the window goes when it leaves the whole screen.
    SDL_Rect windowed{};
};

Window::Window(std::unique_ptr<Sdl> sdl) : sdl_(std::move(sdl)) {}

std::unique_ptr<Window> Window::create(const char* caption, int width, int height,
                                       const uint32_t* iconArgb) {
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
        return nullptr;
    // Game controllers feed the key state; the game runs on the keyboard without them.
    SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER);
    auto sdl = std::make_unique<Sdl>();
    const int factor = windowedFactor(width, height);
    sdl->window.reset(SDL_CreateWindow(caption, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                       width * factor, height * factor,
                                       SDL_WINDOW_HIDDEN | SDL_WINDOW_RESIZABLE));
    if (!sdl->window) {
        SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER | SDL_INIT_VIDEO);
        return nullptr;
    }
    // After SDL's video is up, so that it cannot put its own handler in place of this one.
    endWhenTheDisplayIsLost();
    SDL_SetWindowMinimumSize(sdl->window.get(), kMinimumWidth, kMinimumHeight);
    SDL_GetWindowPosition(sdl->window.get(), &sdl->windowed.x, &sdl->windowed.y);
    SDL_GetWindowSize(sdl->window.get(), &sdl->windowed.w, &sdl->windowed.h);
    if (iconArgb) {
        const SdlSurfacePtr icon(SDL_CreateRGBSurfaceWithFormatFrom(
            const_cast<uint32_t*>(iconArgb), 32, 32, 32, 32 * 4, SDL_PIXELFORMAT_ARGB8888));
        if (icon)
            SDL_SetWindowIcon(sdl->window.get(), icon.get());
    }
    return std::unique_ptr<Window>(new Window(std::move(sdl)));
}

Window::~Window() {
    release();
    sdl_->window.reset();
    SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER | SDL_INIT_VIDEO);
}

bool Window::open(int width, int height, bool fullScreen) {
    close();
    SDL_Window* window = sdl_->window.get();
    sdl_->scaling = displayOptions().scaling;
    // Full screen on the desktop's own mode: the picture is scaled, the monitor's mode never
    // changes. Where the desktop refuses, a window serves as well.
    if (fullScreen && displayOptions().fullScreen)
        SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN_DESKTOP);
    SDL_ShowWindow(window);
    matchWithoutWindowManager(window, sdl_->windowed);
    measure();
    sdl_->software = !wantRenderer();
    if (sdl_->software) {
        // The window's surface without OpenGL underneath (SDL would otherwise back it with a
        // texture); where that is refused, as on Wayland, the renderer takes over.
        SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
        sdl_->software = SDL_GetWindowSurface(window) != nullptr;
    }
    if (!sdl_->software) {
        sdl_->renderer.reset(SDL_CreateRenderer(window, -1, SDL_RENDERER_PRESENTVSYNC));
        if (!sdl_->renderer)
            return false;
        sdl_->texture.reset(SDL_CreateTexture(sdl_->renderer.get(), SDL_PIXELFORMAT_RGB888,
                                              SDL_TEXTUREACCESS_STREAMING, width, height));
        if (!sdl_->texture) {
            close();
            return false;
        }
        SDL_SetTextureScaleMode(sdl_->texture.get(), sdl_->scaling == Scaling::Smooth
                                                         ? SDL_ScaleModeLinear
                                                         : SDL_ScaleModeNearest);
    }
    width_ = width;
    height_ = height;
    picture_.open(width, height);
    attachWindow(this);
    return true;
}

void Window::present(const uint32_t* pixels, int pitch) {
    picture_.presented(pixels, pitch);
    show(pixels, pitch);
}

void Window::close() {
    release();
}

void Window::release() {
    attachWindow(nullptr);
    sdl_->texture.reset();
    sdl_->renderer.reset();
    sdl_->cleared = nullptr;
    picture_.close();
    width_ = height_ = 0;
}

bool Window::isFullScreen() const {
    return (SDL_GetWindowFlags(sdl_->window.get()) & SDL_WINDOW_FULLSCREEN) != 0;
}

void Window::toggleFullScreen() {
    SDL_Window* window = sdl_->window.get();
    if (!isFullScreen()) {
        SDL_GetWindowPosition(window, &sdl_->windowed.x, &sdl_->windowed.y);
        SDL_GetWindowSize(window, &sdl_->windowed.w, &sdl_->windowed.h);
    }
    SDL_SetWindowFullscreen(window, isFullScreen() ? 0 : SDL_WINDOW_FULLSCREEN_DESKTOP);
    matchWithoutWindowManager(window, sdl_->windowed);
    refresh();
}

void Window::setPaused(bool paused) {
    picture_.setPaused(paused);
    refresh();
}

void Window::refresh() {
    measure();
    // What was uncovered may include the bars, which a picture alone does not redraw.
    sdl_->cleared = nullptr;
    if (const uint32_t* picture = picture_.again())
        show(picture, picture_.pitch());
    picture_.reportPaused();
}

bool Window::presentsInSoftware() const {
    return sdl_->software;
}

SDL_Window* Window::handle() const {
    return sdl_->window.get();
}

void Window::measure() {
    sdl_->drawnKnown = drawnSize(sdl_->window.get(), sdl_->drawn);
}

void Window::show(const uint32_t* pixels, int pitch) {
    // A minimised or hidden window shows nothing; skipping the copy keeps the frame's pace.
    if (width_ == 0 ||
        SDL_GetWindowFlags(sdl_->window.get()) & (SDL_WINDOW_MINIMIZED | SDL_WINDOW_HIDDEN))
        return;
    if (sdl_->software)
        showInSoftware(pixels, pitch);
    else
        showWithRenderer(pixels, pitch);
}

void Window::showInSoftware(const uint32_t* pixels, int pitch) {
    SDL_Window* window = sdl_->window.get();
    SDL_Surface* target = SDL_GetWindowSurface(window);
    if (!target)
        return;
    // The surface has the size SDL believes the window has; only what the window covers of it,
    // from its top-left corner, is seen.
    int drawnWidth = target->w, drawnHeight = target->h;
    if (sdl_->drawnKnown) {
        drawnWidth = std::min(drawnWidth, sdl_->drawn.width);
        drawnHeight = std::min(drawnHeight, sdl_->drawn.height);
    }
    const Placement at = placePicture(drawnWidth, drawnHeight, width_, height_, sdl_->scaling);
    if (at.width <= 0 || at.height <= 0)
        return;
    const bool cleared = target != sdl_->cleared || target->w != sdl_->clearedWidth ||
                         target->h != sdl_->clearedHeight;
    if (cleared) {
        SDL_FillRect(target, nullptr, SDL_MapRGB(target->format, 0, 0, 0));
        sdl_->cleared = target;
        sdl_->clearedWidth = target->w;
        sdl_->clearedHeight = target->h;
        sdl_->widened.forget();
    }
    const int factor = at.width / width_;
    if (sdl_->scaling == Scaling::Sharp && isXrgb32(target) && factor >= 1 &&
        at.width == width_ * factor && at.height == height_ * factor) {
        if (SDL_MUSTLOCK(target) && SDL_LockSurface(target) != 0)
            return;
        auto* corner = static_cast<uint8_t*>(target->pixels) +
                       static_cast<std::ptrdiff_t>(at.y) * target->pitch +
                       static_cast<std::ptrdiff_t>(at.x) * 4;
        sdl_->widened.widen(pixels, pitch, width_, height_, factor,
                            {reinterpret_cast<uint32_t*>(corner), target->pitch});
        if (SDL_MUSTLOCK(target))
            SDL_UnlockSurface(target);
    } else {
        sdl_->widened.forget();
        // XRGB and ARGB share their layout, and the window ignores alpha: a source in the
        // target's format lets SDL scale without converting.
        const SdlSurfacePtr source(SDL_CreateRGBSurfaceWithFormatFrom(
            const_cast<uint32_t*>(pixels), width_, height_, 32, pitch,
            isXrgb32(target) ? target->format->format
                             : static_cast<Uint32>(SDL_PIXELFORMAT_RGB888)));
        if (!source)
            return;
        SDL_Rect to{at.x, at.y, at.width, at.height};
        if (sdl_->scaling == Scaling::Smooth && isXrgb32(target))
            SDL_SoftStretchLinear(source.get(), nullptr, target, &to);
        else
            SDL_BlitScaled(source.get(), nullptr, target, &to);
    }
    if (cleared) {
        SDL_UpdateWindowSurface(window);
    } else {
        const SDL_Rect picture{at.x, at.y, at.width, at.height};
        SDL_UpdateWindowSurfaceRects(window, &picture, 1);
    }
}

void Window::showWithRenderer(const uint32_t* pixels, int pitch) {
    SDL_Renderer* renderer = sdl_->renderer.get();
    if (SDL_UpdateTexture(sdl_->texture.get(), nullptr, pixels, pitch) != 0)
        return;
    // SDL's size, which is the window's own once matchWithoutWindowManager has run or the window
    // manager has answered.
    int outputWidth = 0, outputHeight = 0;
    if (SDL_GetRendererOutputSize(renderer, &outputWidth, &outputHeight) != 0)
        return;
    const Placement at = placePicture(outputWidth, outputHeight, width_, height_, sdl_->scaling);
    const SDL_Rect to{at.x, at.y, at.width, at.height};
    // Only bars need clearing: a picture over the whole output draws every pixel anyway.
    if (at.x > 0 || at.y > 0 || at.width < outputWidth || at.height < outputHeight) {
        SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
        SDL_RenderClear(renderer);
    }
    SDL_RenderCopy(renderer, sdl_->texture.get(), nullptr, &to);
    SDL_RenderPresent(renderer);
}

}  // namespace platform
