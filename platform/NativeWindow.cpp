#include "platform/NativeWindow.h"

#include <SDL.h>
#include <SDL_syswm.h>

namespace platform {

namespace {

bool x11Of(SDL_Window* window, Display*& display, ::Window& xWindow) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!window || !SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11)
        return false;
    display = info.info.x11.display;
    xWindow = info.info.x11.window;
    return true;
}

// A window manager following the desktop's conventions (EWMH) names its check window on the root.
bool windowManagerRuns(Display* display) {
    const Atom check = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", True);
    if (check == None)
        return false;
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    const bool named =
        XGetWindowProperty(display, DefaultRootWindow(display), check, 0, 1, False, XA_WINDOW,
                           &type, &format, &count, &after, &data) == Success &&
        count == 1;
    if (data)
        XFree(data);
    return named;
}

}  // namespace

bool drawnSize(SDL_Window* window, DrawnSize& size) {
    Display* display = nullptr;
    ::Window xWindow = 0;
    if (!x11Of(window, display, xWindow))
        return false;
    ::Window root = 0;
    int x = 0, y = 0;
    unsigned width = 0, height = 0, border = 0, depth = 0;
    if (!XGetGeometry(display, xWindow, &root, &x, &y, &width, &height, &border, &depth))
        return false;
    size = {static_cast<int>(width), static_cast<int>(height)};
    return true;
}

void matchWithoutWindowManager(SDL_Window* window, const SDL_Rect& windowed) {
    Display* display = nullptr;
    ::Window xWindow = 0;
    if (!x11Of(window, display, xWindow) || windowManagerRuns(display))
        return;
    if (!(SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN)) {
        // Through SDL, so that it knows the size again.
        SDL_SetWindowSize(window, windowed.w, windowed.h);
        SDL_SetWindowPosition(window, windowed.x, windowed.y);
        return;
    }
    SDL_Rect screen;
    if (SDL_GetDisplayBounds(SDL_GetWindowDisplayIndex(window), &screen) != 0)
        return;
    XMoveResizeWindow(display, xWindow, screen.x, screen.y, static_cast<unsigned>(screen.w),
                      static_cast<unsigned>(screen.h));
    XRaiseWindow(display, xWindow);
    XSync(display, False);
}

}  // namespace platform
