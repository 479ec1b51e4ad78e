// quelvane-replay: runs the game's own code headless on a virtual clock with scripted keys, so that
// a run can be repeated exactly, its frames captured and its end state compared.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "game/core/ExitRequest.h"
#include "game/gfx/Display.h"
#include "game/loop/Entry.h"
#include "game/loop/Globals.h"
#include "game/loop/MainLoop.h"
#include "game/world/ObjectLists.h"
#include "platform/Clock.h"
#include "platform/EventSource.h"
#include "platform/Platform.h"
#include "tools/replay/ReplayOptions.h"

namespace {

using namespace quelvane;

constexpr const char* kUsage =
    "usage: quelvane-replay --frames N --seed S [--tick-start T] [--keys FILE]\n"
    "                       [--capture FRAME:FILE.bmp ...] [--state]\n"
    "       quelvane-replay --help\n"
    "Frames count from 0. A keys file holds one event a line: FRAME down|up KEY, or FRAME close.\n";

void printState() {
    std::printf("frames=%u\n", framesRun);
    std::printf("tick=%u\n", platform::tickCount());
    std::printf("aliens=%zu\n", aliens.size());
    std::printf("pickups=%zu\n", pickups.size());
    std::printf("exit=%d\n", exitRequested ? 1 : 0);
}

}  // namespace

int main(int argc, char** argv) {
    std::string error;
    const auto options = parseReplayOptions(std::vector<std::string>(argv + 1, argv + argc), error);
    if (!options) {
        std::fprintf(stderr, "quelvane-replay: %s\n%s", error.c_str(), kUsage);
        return 2;
    }
    if (options->help) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    platform::ScriptedEvents events;
    if (!options->keysFile.empty() && !loadReplayKeys(options->keysFile, events, error)) {
        std::fprintf(stderr, "quelvane-replay: %s\n", error.c_str());
        return 2;
    }
    // Headless and silent, whatever the session offers.
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    platform::VirtualClock clock(options->tickStart);
    platform::useClock(&clock);
    platform::useEventSource(&events);

    if (!startGame(options->seed))
        return 1;
    int status = 0;
    uint32_t frame = 0;
    for (; frame < options->frames && !exitRequested; ++frame) {
        events.setFrame(frame);
        runLoopPass();
        for (const auto& capture : options->captures) {
            if (capture.frame == frame && !display.SavePresented(capture.file)) {
                std::fprintf(stderr, "quelvane-replay: cannot write %s\n", capture.file.c_str());
                status = 1;
            }
        }
    }
    // A game that quit early never reached the later captures.
    for (const auto& capture : options->captures) {
        if (capture.frame >= frame) {
            std::fprintf(stderr,
                         "quelvane-replay: the game ended after frame %u, before frame %u for %s\n",
                         frame - 1, capture.frame, capture.file.c_str());
            status = 1;
        }
    }
    if (options->printState)
        printState();
    endGame();
    platform::useEventSource(nullptr);
    platform::useClock(nullptr);
    return status;
}
