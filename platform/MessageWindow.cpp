#include "platform/MessageWindow.h"

#include <SDL.h>

#include <memory>
#include <optional>
#include <string>

namespace platform {

namespace {

// How long a wait for the message window's next event lasts before it looks again.
constexpr int kWaitMs = 100;

MessagePainter painter = nullptr;

struct DestroyWindow {
    void operator()(SDL_Window* window) const { SDL_DestroyWindow(window); }
};

// The window an event is about; 0 for events about none.
Uint32 windowOf(const SDL_Event& e) {
    switch (e.type) {
        case SDL_KEYDOWN:
        case SDL_KEYUP:
            return e.key.windowID;
        case SDL_TEXTINPUT:
            return e.text.windowID;
        case SDL_TEXTEDITING:
            return e.edit.windowID;
        case SDL_MOUSEMOTION:
            return e.motion.windowID;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP:
            return e.button.windowID;
        case SDL_MOUSEWHEEL:
            return e.wheel.windowID;
        case SDL_WINDOWEVENT:
            return e.window.windowID;
        default:
            return 0;
    }
}

bool dismisses(const SDL_Event& e) {
    switch (e.type) {
        case SDL_KEYDOWN:
            return e.key.keysym.sym == SDLK_RETURN || e.key.keysym.sym == SDLK_KP_ENTER ||
                   e.key.keysym.sym == SDLK_ESCAPE;
        case SDL_MOUSEBUTTONUP:
            return true;
        case SDL_WINDOWEVENT:
            return e.window.event == SDL_WINDOWEVENT_CLOSE;
        default:
            return false;
    }
}

void present(SDL_Window* window, const MessagePicture& picture) {
    SDL_Surface* surface = SDL_GetWindowSurface(window);
    if (!surface || SDL_LockSurface(surface) != 0)
        return;
    SDL_ConvertPixels(picture.width, picture.height, SDL_PIXELFORMAT_RGB888, picture.pixels.data(),
                      picture.width * 4, surface->format->format, surface->pixels, surface->pitch);
    SDL_UnlockSurface(surface);
    SDL_UpdateWindowSurface(window);
}

// Runs the window until the player dismisses it. A quit (Ctrl+C in a terminal) dismisses it too,
// and is kept for the game with everything else that is not the window's own.
void runMessageWindow(SDL_Window* window, const MessagePicture& picture) {
    const Uint32 id = SDL_GetWindowID(window);
    std::vector<SDL_Event> kept;
    present(window, picture);
    bool done = false;
    while (!done) {
        SDL_Event e;
        if (!SDL_WaitEventTimeout(&e, kWaitMs))
            continue;
        if (windowOf(e) != id) {
            kept.push_back(e);
            done = e.type == SDL_QUIT;
        } else if (dismisses(e)) {
            done = true;
        } else if (e.type == SDL_WINDOWEVENT && e.window.event == SDL_WINDOWEVENT_EXPOSED) {
            present(window, picture);
        }
    }
    for (SDL_Event& e : kept)
        SDL_PushEvent(&e);
}

}  // namespace

void useMessagePainter(MessagePainter p) {
    painter = p;
}

bool showMessageWindow(const char* caption, const char* text) {
    if (!painter)
        return false;
    const MessagePicture picture = painter(text);
    if (picture.width <= 0 || picture.height <= 0 ||
        picture.pixels.size() != static_cast<std::size_t>(picture.width) * picture.height)
        return false;
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
        return false;
    // Closing the message must not read as closing the game, when it is the only window.
    const char* quitHint = SDL_GetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE);
    const std::optional<std::string> quitOnClose =
        quitHint ? std::optional<std::string>(quitHint) : std::nullopt;
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    std::unique_ptr<SDL_Window, DestroyWindow> window(
        SDL_CreateWindow(caption, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, picture.width,
                         picture.height, SDL_WINDOW_SHOWN));
    const bool shown = window != nullptr;
    if (shown) {
        // Where no window manager hands out the keyboard, the message takes it.
        SDL_RaiseWindow(window.get());
        SDL_SetWindowInputFocus(window.get());
        runMessageWindow(window.get(), picture);
        window.reset();
    }
    if (quitOnClose)
        SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, quitOnClose->c_str());
    else
        SDL_ResetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    return shown;
}

}  // namespace platform
