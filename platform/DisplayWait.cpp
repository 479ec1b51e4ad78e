#include "platform/DisplayWait.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>
#include <wayland-client.h>

#include <algorithm>
#include <vector>

namespace platform {

namespace {

// Reads a device's descriptor empty: what it held was for SDL, which reads its own copy.
void empty(int fd) {
    char buffer[1024];
    while (read(fd, buffer, sizeof buffer) > 0) {
    }
}

}  // namespace

std::unique_ptr<InputWait> makeInputWait() {
    return std::make_unique<DisplayWait>();
}

DisplayWait::~DisplayWait() {
    for (const auto& [controller, fd] : controllerFds_)
        close(fd);
}

void DisplayWait::controllerOpened(int controller, const char* path) {
    controllerClosed(controller);
    if (!path)
        return;
    const int fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd >= 0)
        controllerFds_[controller] = fd;
}

void DisplayWait::controllerClosed(int controller) {
    const auto it = controllerFds_.find(controller);
    if (it == controllerFds_.end())
        return;
    close(it->second);
    controllerFds_.erase(it);
}

void DisplayWait::wait(uint32_t ms) {
    // The caller has just pumped: what SDL holds is read, and the display's connection is empty
    // unless Xlib read ahead, which is asked below.
    if (SDL_HasEvents(SDL_FIRSTEVENT, SDL_LASTEVENT))
        return;
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!window_ || !SDL_GetWindowWMInfo(window_, &info) ||
        (info.subsystem != SDL_SYSWM_X11 && info.subsystem != SDL_SYSWM_WAYLAND)) {
        // A display we cannot watch ourselves: SDL's wait, polling or not.
        SDL_WaitEventTimeout(nullptr, static_cast<int>(ms));
        return;
    }
    std::vector<pollfd> fds;
    wl_display* wayland = nullptr;
    if (info.subsystem == SDL_SYSWM_X11) {
        Display* x = info.info.x11.display;
        // Events Xlib has already read would never make the connection readable.
        if (XEventsQueued(x, QueuedAfterFlush) > 0)
            return;
        fds.push_back({ConnectionNumber(x), POLLIN, 0});
    } else {
        wayland = info.info.wl.display;
        // Refused while events wait to be dispatched, which SDL's next pump does.
        if (wl_display_prepare_read(wayland) != 0)
            return;
        wl_display_flush(wayland);
        fds.push_back({wl_display_get_fd(wayland), POLLIN, 0});
    }
    // A controller's descriptor holds what came while the game ran: the first wait of a pause may
    // end at once, and empties it.
    for (const auto& [controller, fd] : controllerFds_)
        fds.push_back({fd, POLLIN, 0});
    // An interrupt (Ctrl+C) ends the wait too, and SDL's next pump turns it into a close.
    poll(fds.data(), fds.size(), static_cast<int>(ms));
    // SDL's next pump reads the display itself.
    if (wayland)
        wl_display_cancel_read(wayland);
    for (auto it = controllerFds_.begin(); it != controllerFds_.end();) {
        const auto at = std::find_if(fds.begin() + 1, fds.end(),
                                     [fd = it->second](const pollfd& p) { return p.fd == fd; });
        if (at->revents & (POLLERR | POLLHUP | POLLNVAL)) {
            // Unplugged: until SDL says so, the controller is looked at when a wait runs out.
            close(it->second);
            it = controllerFds_.erase(it);
            continue;
        }
        if (at->revents & POLLIN)
            empty(it->second);
        ++it;
    }
}

}  // namespace platform
