#include "platform/web/CanvasScreen.h"

#include <SDL.h>
#include <emscripten.h>
#include <wasm_simd128.h>

#include "platform/Platform.h"

namespace platform {

namespace {

// The functions below are JavaScript, which clang-format would take for C++.
// clang-format off
// The canvas's 2-D context is made once; the picture goes in as one ImageData. The time of the
// first picture is kept for the page (how long the game takes to show).
EM_JS(void, putCanvasPicture, (const uint8_t* rgba, int width, int height), {
    var canvas = Module['canvas'];
    if (!canvas)
        return;  // under node, in the replay's comparison with the desktop
    var shown = Module['quelvaneShown'] || (Module['quelvaneShown'] = {});
    // The ImageData looks straight at the game's memory: no copy, until the memory grows.
    if (shown.canvas !== canvas || shown.rgba !== rgba || shown.width !== width ||
        shown.height !== height || shown.buffer !== HEAPU8.buffer) {
        if (canvas.width !== width || canvas.height !== height) {
            canvas.width = width;
            canvas.height = height;
        }
        shown.canvas = canvas;
        shown.rgba = rgba;
        shown.width = width;
        shown.height = height;
        shown.buffer = HEAPU8.buffer;
        shown.context = canvas.getContext('2d', {alpha: false});
        shown.image = new ImageData(new Uint8ClampedArray(HEAPU8.buffer, rgba, width * height * 4),
                                    width, height);
    }
    shown.context.putImageData(shown.image, 0, 0);
    if (!Module['quelvaneFirstPicture'])
        Module['quelvaneFirstPicture'] = performance.now();
});

EM_JS(void, askFullScreen, (), {
    if (Module['quelvanePage'])
        Module['quelvanePage'].toggleFullScreen();
});

EM_JS(void, tellPagePaused, (int paused), {
    if (Module['quelvanePage'])
        Module['quelvanePage'].paused(!!paused);
});
// clang-format on

}  // namespace

CanvasScreen::CanvasScreen(WindowPtr window) : window_(std::move(window)) {}

std::unique_ptr<CanvasScreen> CanvasScreen::create(const char* caption, int width, int height,
                                                   const uint32_t*) {
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
        return nullptr;
    // The browser's Gamepad API, through SDL's game controllers.
    SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER);
    WindowPtr window(SDL_CreateWindow(caption, 0, 0, width, height, 0));
    if (!window) {
        SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER | SDL_INIT_VIDEO);
        return nullptr;
    }
    return std::unique_ptr<CanvasScreen>(new CanvasScreen(std::move(window)));
}

CanvasScreen::~CanvasScreen() {
    close();
    window_.reset();
    SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER | SDL_INIT_VIDEO);
}

bool CanvasScreen::open(int width, int height, bool) {
    close();
    width_ = width;
    height_ = height;
    picture_.open(width, height);
    rgba_.assign(static_cast<size_t>(width) * height, 0);
    attachWindow(this);
    return true;
}

void CanvasScreen::present(const uint32_t* pixels, int pitch) {
    picture_.presented(pixels, pitch);
    show(pixels, pitch);
}

void CanvasScreen::close() {
    attachWindow(nullptr);
    picture_.close();
    width_ = height_ = 0;
}

void CanvasScreen::toggleFullScreen() {
    askFullScreen();
}

void CanvasScreen::setPaused(bool paused) {
    picture_.setPaused(paused);
    tellPagePaused(paused ? 1 : 0);
    refresh();
}

void CanvasScreen::refresh() {
    if (const uint32_t* picture = picture_.again())
        show(picture, picture_.pitch());
    picture_.reportPaused();
}

SDL_Window* CanvasScreen::handle() const {
    return window_.get();
}

void CanvasScreen::show(const uint32_t* pixels, int pitch) {
    if (width_ == 0)
        return;
    // XRGB words to the canvas's byte order, opaque, four pixels at a time: this copy is most of
    // what a pass costs in a page.
    uint32_t* out = rgba_.data();
    const v128_t opaque = wasm_i32x4_splat(static_cast<int32_t>(0xFF000000u));
    for (int y = 0; y < height_; ++y) {
        const uint32_t* in = pixels + static_cast<size_t>(y) * (pitch / 4);
        int x = 0;
        for (; x + 4 <= width_; x += 4, out += 4) {
            const v128_t bgrx = wasm_v128_load(in + x);
            const v128_t rgbx = wasm_i8x16_shuffle(bgrx, bgrx, 2, 1, 0, 3, 6, 5, 4, 7, 10, 9, 8, 11,
                                                   14, 13, 12, 15);
            wasm_v128_store(out, wasm_v128_or(rgbx, opaque));
        }
        for (; x < width_; ++x) {
            const uint32_t p = in[x];
            *out++ = 0xFF000000u | (p & 0x0000FF00u) | ((p >> 16) & 0xFFu) | ((p & 0xFFu) << 16);
        }
    }
    putCanvasPicture(reinterpret_cast<const uint8_t*>(rgba_.data()), width_, height_);
}

}  // namespace platform
