#include <cstdio>
#include <string>
#include <vector>

#include "game/loop/Entry.h"
#include "game/loop/MainLoop.h"
#include "platform/DisplayOptions.h"
#include "platform/Platform.h"

namespace {

constexpr const char* kUsage =
    "usage: quelvane [--fullscreen | --window] [--smooth]\n"
    "  --fullscreen  start on the whole screen (the default); F11 switches at any time\n"
    "  --window      start in a window, which can be resized\n"
    "  --smooth      scale the picture to fill the screen's height, filtered, rather than by\n"
    "                the largest whole factor with sharp pixels\n"
    "  --help        show this text and exit\n";

}  // namespace

int main(int argc, char** argv) {
    platform::DisplayOptions options;
    bool help = false;
    std::string error;
    if (!platform::parseDisplayOptions(std::vector<std::string>(argv + 1, argv + argc), options,
                                       help, error)) {
        std::fprintf(stderr, "quelvane: %s\n%s", error.c_str(), kUsage);
        return 2;
    }
    if (help) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    platform::setDisplayOptions(options);
    // Without a desktop SDL would fall back to an invisible window, and the game would run unseen
    // until killed.
    if (!platform::hasGraphicalSession()) {
        std::fprintf(stderr,
                     "quelvane: needs a graphical session (X11 or Wayland); start it from a "
                     "desktop, or use quelvane-replay to run it headless\n");
        return 1;
    }
    if (!quelvane::startGame(platform::tickCount()))
        return 1;
    quelvane::runMainLoop();
    quelvane::endGame();
    return 0;
}
