// Watches and captures the X display, so that the tests of the real dialog wait on events rather
// than for fixed times, and show what the user saw:
//   x_probe window [--focus] TITLE SECONDS   waits until a top-level window of that title is
//                                            mapped; prints its id and the time it was seen (ns
//                                            since the epoch)
//   x_probe bell SECONDS                     waits until a client rings the bell
//   x_probe capture WINDOW FILE              writes what the window (root: the whole screen)
//                                            shows to FILE as a 24-bit BMP; prints how many
//                                            colours it has, which tells a drawn window from a
//                                            plain one
// The waits print "ready" once they listen: what happens after that line cannot be missed. They
// end with status 1 when nothing happened within the deadline.
#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <poll.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

int usage() {
    std::fprintf(stderr,
                 "usage: x_probe window [--focus] TITLE SECONDS\n"
                 "       x_probe bell SECONDS\n"
                 "       x_probe capture WINDOW FILE\n");
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
    std::fprintf(stderr, "x_probe: no window \"%s\" was mapped in time\n", title.c_str());
    return 1;
}

int waitForBell(Display* display, Clock::time_point deadline) {
    int opcode = 0;
    int eventBase = 0;
    int errorBase = 0;
    int major = XkbMajorVersion;
    int minor = XkbMinorVersion;
    if (!XkbQueryExtension(display, &opcode, &eventBase, &errorBase, &major, &minor)) {
        std::fprintf(stderr, "x_probe: the X server has no XKB, so no bell can be heard\n");
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
    std::fprintf(stderr, "x_probe: no bell rang in time\n");
    return 1;
}

void putLittleEndian(std::vector<unsigned char>& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out.push_back(static_cast<unsigned char>(value >> (8 * i)));
    }
}

int capture(Display* display, const std::string& which, const char* file) {
    const Window window = which == "root"
                              ? DefaultRootWindow(display)
                              : static_cast<Window>(std::strtoul(which.c_str(), nullptr, 0));
    XWindowAttributes attributes{};
    if (XGetWindowAttributes(display, window, &attributes) == 0) {
        std::fprintf(stderr, "x_probe: no window %s\n", which.c_str());
        return 1;
    }
    XImage* image = XGetImage(display, window, 0, 0, static_cast<unsigned>(attributes.width),
                              static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap);
    if (image == nullptr) {
        std::fprintf(stderr, "x_probe: window %s cannot be read\n", which.c_str());
        return 1;
    }
    const auto width = static_cast<std::uint32_t>(image->width);
    const auto height = static_cast<std::uint32_t>(image->height);
    const std::uint32_t rowBytes = (width * 3 + 3) / 4 * 4;
    std::vector<unsigned char> bmp;
    bmp.push_back('B');
    bmp.push_back('M');
    putLittleEndian(bmp, 54 + rowBytes * height, 4);
    putLittleEndian(bmp, 0, 4);
    putLittleEndian(bmp, 54, 4);
    putLittleEndian(bmp, 40, 4);
    putLittleEndian(bmp, width, 4);
    putLittleEndian(bmp, height, 4);
    putLittleEndian(bmp, 1, 2);
    putLittleEndian(bmp, 24, 2);
    for (int i = 0; i < 6; ++i) {
        putLittleEndian(bmp, 0, 4);
    }
    // The visual's masks say where each channel lies in a pixel.
    const auto channel = [](unsigned long pixel, unsigned long mask) {
        while (mask != 0 && (mask & 1) == 0) {
            mask >>= 1;
            pixel >>= 1;
        }
        return static_cast<unsigned char>((pixel & mask) * 255 / (mask != 0 ? mask : 1));
    };
    std::set<unsigned long> colours;
    for (std::uint32_t row = height; row-- > 0;) {
        for (std::uint32_t column = 0; column < width; ++column) {
            const unsigned long pixel =
                XGetPixel(image, static_cast<int>(column), static_cast<int>(row));
            colours.insert(pixel);
            bmp.push_back(channel(pixel, image->blue_mask));
            bmp.push_back(channel(pixel, image->green_mask));
            bmp.push_back(channel(pixel, image->red_mask));
        }
        bmp.resize(bmp.size() + (rowBytes - width * 3), 0);
    }
    XDestroyImage(image);
    std::FILE* out = std::fopen(file, "wb");
    const bool written =
        out != nullptr && std::fwrite(bmp.data(), 1, bmp.size(), out) == bmp.size();
    if (out == nullptr || std::fclose(out) != 0 || !written) {
        std::fprintf(stderr, "x_probe: cannot write %s\n", file);
        return 1;
    }
    std::printf("%zu\n", colours.size());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        return usage();
    }
    const std::string what = argv[1];
    const bool focus = what == "window" && std::strcmp(argv[2], "--focus") == 0;
    const int expected = what == "window" ? (focus ? 5 : 4) : what == "bell" ? 3 : 4;
    if ((what != "window" && what != "bell" && what != "capture") || argc != expected) {
        return usage();
    }
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "x_probe: cannot open the display\n");
        return 1;
    }
    int status = 0;
    if (what == "capture") {
        status = capture(display, argv[2], argv[3]);
    } else {
        const double seconds = std::atof(argv[argc - 1]);
        const Clock::time_point deadline =
            Clock::now() +
            std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
        status = what == "window" ? waitForWindow(display, argv[argc - 2], focus, deadline)
                                  : waitForBell(display, deadline);
    }
    std::fflush(stdout);
    XCloseDisplay(display);
    return status;
}
