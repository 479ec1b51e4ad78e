#include "platform/DisplayLoss.h"

#include <SDL.h>
#include <X11/Xlib.h>
#include <errno.h>
#include <unistd.h>

#include <cstring>
#include <string>

namespace platform {

namespace {

// Made before the display can be lost: the handler itself only writes and ends.
std::string lostMessage;

int onDisplayLost(Display*) {
    // Nothing that could touch the display again: no exit handlers, no destructors.
    [[maybe_unused]] const ssize_t written =
        write(STDERR_FILENO, lostMessage.data(), lostMessage.size());
    _exit(kDisplayLostStatus);
}

}  // namespace

void endWhenTheDisplayIsLost() {
    const char* driver = SDL_GetCurrentVideoDriver();
    if (!driver || std::strcmp(driver, "x11") != 0)
        return;
    lostMessage = std::string(program_invocation_short_name) +
                  ": the connection to the display was lost (its X server ended); ending\n";
    XSetIOErrorHandler(onDisplayLost);
}

}  // namespace platform
