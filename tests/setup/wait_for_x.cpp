// Waits for something to happen on the X display, so that the tests of the real dialog wait on
// events rather than for fixed times:
//   wait_for_x window [--focus] TITLE SECONDS   a top-level window of that title is mapped; prints
//                                                its id and the time it was seen (ns since the
//                                                epoch)
//   wait_for_x bell SECONDS                      a client rings the bell
// Prints "ready" once it listens: what happens after that line cannot be missed. Ends with status
// 1 when nothing happened within the deadline.
#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <poll.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

int usage() {
    std::fprintf(stderr,
                 "usage: wait_for_x window [--focus] TITLE SECONDS\n"
                 "       wait_for_x bell SECONDS\n");
    return 2;
}

// GTK sets the UTF-8 title; WM_NAME is the fallback of other toolkits.
std::optional<std::string> titleOf(Display* display, Window window) {
    const Atom netName = XInternAtom(display, "_NET_WM_NAME", False);
    const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, window, netName, 0, 1024, False, utf8, &type, &format, &count,
                           &after, &data) == Success &&
        data != nullptr) {
        std::string title(reinterpret_cast<const char*>(data), count);
        XFree(data);
        if (type == utf8) {
            return title;
        }
    }
    char* name = nullptr;
    if (XFetchName(display, window, &name) != 0 && name != nullptr) {
        std::string title(name);
        XFree(name);
        return title;
    }
    return std::nullopt;
}

// Waits until the connection has events or the deadline passes.
bool eventsBefore(Display* display, Clock::time_point deadline) {
    while (XPending(display) == 0) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0) {
            return false;
        }
        pollfd fd{ConnectionNumber(display), POLLIN, 0};
        poll(&fd, 1, static_cast<int>(left));
    }
    return true;
}

void ready() {
    std::printf("ready\n");
    std::fflush(stdout);
}

int waitForWindow(Display* display, const std::string& title, bool focus,
                  Clock::time_point deadline) {
    const Window root = DefaultRootWindow(display);
    XSelectInput(display, root, SubstructureNotifyMask);
    XSync(display, False);
    ready();
    while (eventsBefore(display, deadline)) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type != MapNotify || event.xmap.override_redirect ||
            titleOf(display, event.xmap.window) != title) {
            continue;
        }
        const auto seen = std::chrono::system_clock::now().time_since_epoch();
        if (focus) {
            XSetInputFocus(display, event.xmap.window, RevertToPointerRoot, CurrentTime);
            XSync(display, False);
        }
        std::printf("%lu %lld\n", event.xmap.window,
                    static_cast<long long>(
                        std::chrono::duration_cast<std::chrono::nanoseconds>(seen).count()));
        return 0;
    }
    std::fprintf(stderr, "wait_for_x: no window \"%s\" was mapped in time\n", title.c_str());
    return 1;
}

int waitForBell(Display* display, Clock::time_point deadline) {
    int opcode = 0;
    int eventBase = 0;
    int errorBase = 0;
    int major = XkbMajorVersion;
    int minor = XkbMinorVersion;
    if (!XkbQueryExtension(display, &opcode, &eventBase, &errorBase, &major, &minor)) {
        std::fprintf(stderr, "wait_for_x: the X server has no XKB, so no bell can be heard\n");
        return 1;
    }
    XkbSelectEvents(display, XkbUseCoreKbd, XkbBellNotifyMask, XkbBellNotifyMask);
    XSync(display, False);
    ready();
    while (eventsBefore(display, deadline)) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == eventBase &&
            reinterpret_cast<XkbAnyEvent*>(&event)->xkb_type == XkbBellNotify) {
            std::printf("bell\n");
            return 0;
        }
    }
    std::fprintf(stderr, "wait_for_x: no bell rang in time\n");
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        return usage();
    }
    const std::string what = argv[1];
    const bool focus = argc > 2 && std::strcmp(argv[2], "--focus") == 0;
    const int expected = what == "window" ? (focus ? 5 : 4) : 3;
    if ((what != "window" && what != "bell") || argc != expected) {
        return usage();
    }
    const double seconds = std::atof(argv[argc - 1]);
    const Clock::time_point deadline = Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                                          std::chrono::duration<double>(seconds));
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "wait_for_x: cannot open the display\n");
        return 1;
    }
    const int status = what == "window" ? waitForWindow(display, argv[argc - 2], focus, deadline)
                                        : waitForBell(display, deadline);
    std::fflush(stdout);
    XCloseDisplay(display);
    return status;
}
