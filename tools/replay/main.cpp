// quelvane-replay: runs the game's own code headless on a virtual clock with scripted keys, so that
// a run can be repeated exactly, its frames captured and its state followed frame by frame.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "game/core/ExitRequest.h"
#include "game/gfx/Display.h"
#include "game/loop/Entry.h"
#include "game/loop/Globals.h"
#include "game/loop/MainLoop.h"
#include "game/player/Ship.h"
#include "game/world/Alien.h"
#include "game/world/AlienShot.h"
#include "game/world/Assets.h"
#include "game/world/ObjectLists.h"
#include "platform/Clock.h"
#include "platform/EventSource.h"
#include "platform/Platform.h"
#include "tools/replay/ReplayOptions.h"

namespace {

using namespace quelvane;

constexpr const char* kUsage =
    "usage: quelvane-replay --frames N --seed S [--tick-start T] [--keys FILE]\n"
    "                       [--capture FRAME:FILE.bmp ...] [--state] [--trace FILE]\n"
    "Frames count from 0. A keys file holds one event a line: FRAME down|up KEY, or FRAME close.\n"
    "--state prints name=value lines at the end; --trace writes the same names as a\n"
    "tab-separated table, one row after every frame.\n";

// The names are read by tests and by people: they keep their meaning once published, and new
// ones are only added.
std::vector<std::pair<const char*, long long>> gameState() {
    return {
        {"frames", framesRun},
        {"tick", platform::tickCount()},
        {"aliens", static_cast<long long>(aliens.size())},
        {"pickups", static_cast<long long>(pickups.size())},
        {"exit", exitRequested ? 1 : 0},
        {"score", player.score},
        {"wave", wave},
        {"shields", player.shields},
        {"weapon", player.weapon},
        {"ship_x", player.x},
        {"ship_y", player.y},
        {"exploding", player.exploding ? 1 : 0},
        {"destroyed", playerDestroyed ? 1 : 0},
        {"projectiles", static_cast<long long>(player.projectiles.size())},
        {"alien_shots", static_cast<long long>(alienShots.size())},
        {"explosions", static_cast<long long>(explosions.size())},
        {"limit_meter", player.limitBreakMeter},
        {"limit_ready", player.limitBreakReady ? 1 : 0},
        {"limit_active", player.limitBreakActive ? 1 : 0},
        {"limit_kind", player.limitBreakKind},
        {"limit_step", player.limitBreakStep},
        {"owned_weapons", player.ownedWeapons()},
        {"owned_combinations", player.ownedCombinations()},
        {"fighters",
         static_cast<long long>(player.leftSquadron.size() + player.rightSquadron.size())},
    };
}

void printState() {
    for (const auto& [name, value] : gameState())
        std::printf("%s=%lld\n", name, value);
}

void traceRow(std::ofstream& out, bool header) {
    const auto state = gameState();
    for (size_t i = 0; i < state.size(); ++i) {
        out << (i ? "\t" : "");
        if (header)
            out << state[i].first;
        else
            out << state[i].second;
    }
    out << '\n';
}

}  // namespace

int main(int argc, char** argv) {
    std::string error;
    const auto options = parseReplayOptions(std::vector<std::string>(argv + 1, argv + argc), error);
    if (!options) {
        std::fprintf(stderr, "quelvane-replay: %s\n%s", error.c_str(), kUsage);
        return 2;
    }
    platform::ScriptedEvents events;
    if (!options->keysFile.empty() && !loadReplayKeys(options->keysFile, events, error)) {
        std::fprintf(stderr, "quelvane-replay: %s\n", error.c_str());
        return 2;
    }
    std::ofstream trace;
    if (!options->traceFile.empty()) {
        trace.open(options->traceFile);
        if (!trace) {
            std::fprintf(stderr, "quelvane-replay: cannot write %s\n", options->traceFile.c_str());
            return 2;
        }
    }
    // Headless, whatever the session offers; the sound is mixed nowhere, the same on every run.
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    platform::VirtualClock clock(options->tickStart);
    platform::useClock(&clock);
    platform::useEventSource(&events);

    // Run from anywhere: the assets generated beside the program serve when the working directory
    // has none of its own.
    std::error_code ignored;
    if (!std::filesystem::exists("ship.bmp", ignored))
        setAssetFolder(std::filesystem::read_symlink("/proc/self/exe", ignored).parent_path());

    if (!startGame(options->seed, AudioSystem::Output::Offline))
        return 1;
    if (trace.is_open())
        traceRow(trace, true);
    int status = 0;
    for (uint32_t frame = 0; frame < options->frames && !exitRequested; ++frame) {
        events.setFrame(frame);
        runLoopPass();
        if (trace.is_open())
            traceRow(trace, false);
        for (const auto& capture : options->captures) {
            if (capture.frame == frame && !display.SavePresented(capture.file)) {
                std::fprintf(stderr, "quelvane-replay: cannot write %s\n", capture.file.c_str());
                status = 1;
            }
        }
    }
    if (options->printState)
        printState();
    endGame();
    platform::useEventSource(nullptr);
    platform::useClock(nullptr);
    if (trace.is_open() && !trace.flush()) {
        std::fprintf(stderr, "quelvane-replay: cannot write %s\n", options->traceFile.c_str());
        status = 1;
    }
    return status;
}
