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
#include "game/screens/Pass.h"
#include "game/screens/Screen.h"
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
    "       quelvane-replay --help\n"
    "Runs the whole game from start-up. Every pass of any of its loops (title, play, help, game\n"
    "over, name entry, score table) is one frame; frames count from 0. A keys file holds one\n"
    "event a line: FRAME down|up KEY, or FRAME close. --state prints name=value lines at the end;\n"
    "--trace writes the same names as a tab-separated table, one row after every frame. Like the\n"
    "game it reads MidiDevice.ini and reads and writes scores.dat in the working directory.\n";

// The game's state by name, in the order the trace prints it.
using State = std::vector<std::pair<const char*, std::string>>;

// What the run has done so far; the pass observer moves it on after every pass of any loop.
struct Run {
    const ReplayOptions* options = nullptr;
    platform::ScriptedEvents* events = nullptr;
    std::ofstream* trace = nullptr;
    long long passes = 0;
    // The state after the last pass counted, which --state prints.
    State lastState;
    int status = 0;
};
Run run;

// The names are read by tests and by people: they keep their meaning once published, and new
// ones are only added.
State gameState(Screen screen) {
    auto n = [](long long v) { return std::to_string(v); };
    return {
        {"frames", n(run.passes)},
        {"tick", n(platform::tickCount())},
        {"aliens", n(static_cast<long long>(aliens.size()))},
        {"pickups", n(static_cast<long long>(pickups.size()))},
        {"exit", n(exitRequested ? 1 : 0)},
        {"score", n(player.score)},
        {"wave", n(wave)},
        {"shields", n(player.shields)},
        {"weapon", n(player.weapon)},
        {"ship_x", n(player.x)},
        {"ship_y", n(player.y)},
        {"exploding", n(player.exploding ? 1 : 0)},
        {"destroyed", n(playerDestroyed ? 1 : 0)},
        {"projectiles", n(static_cast<long long>(player.projectiles.size()))},
        {"alien_shots", n(static_cast<long long>(alienShots.size()))},
        {"explosions", n(static_cast<long long>(explosions.size()))},
        {"limit_meter", n(player.limitBreakMeter)},
        {"limit_ready", n(player.limitBreakReady ? 1 : 0)},
        {"limit_active", n(player.limitBreakActive ? 1 : 0)},
        {"limit_kind", n(player.limitBreakKind)},
        {"limit_step", n(player.limitBreakStep)},
        {"owned_weapons", n(player.ownedWeapons())},
        {"owned_combinations", n(player.ownedCombinations())},
        {"fighters", n(static_cast<long long>(player.leftSquadron.size()) +
                       static_cast<long long>(player.rightSquadron.size()))},
        {"screen", screenName(screen)},
    };
}

void printState() {
    for (const auto& [name, value] : run.lastState)
        std::printf("%s=%s\n", name, value.c_str());
}

void traceRow(const State& state, bool header) {
    for (size_t i = 0; i < state.size(); ++i)
        *run.trace << (i ? "\t" : "") << (header ? state[i].first : state[i].second);
    *run.trace << '\n';
}

// After every pass of any loop: the trace row and the captures of that pass, the next pass's keys,
// and the end of the run once it has had its passes. A run that ends inside a screen opened by a
// frame of play still finishes that frame as the game unwinds; that last piece is no pass of the
// run's own and is not counted.
void afterPass() {
    if (run.passes >= run.options->frames)
        return;
    const auto pass = static_cast<uint32_t>(run.passes++);
    run.lastState = gameState(currentScreen);
    if (run.trace)
        traceRow(run.lastState, false);
    for (const auto& capture : run.options->captures) {
        if (capture.frame == pass && !display.SavePresented(capture.file)) {
            std::fprintf(stderr, "quelvane-replay: cannot write %s\n", capture.file.c_str());
            run.status = 1;
        }
    }
    run.events->setFrame(pass + 1);
    if (run.passes >= run.options->frames)
        exitRequested = true;
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
    std::ofstream trace;
    if (!options->traceFile.empty()) {
        trace.open(options->traceFile);
        if (!trace) {
            std::fprintf(stderr, "quelvane-replay: cannot write %s\n", options->traceFile.c_str());
            return 2;
        }
        run.trace = &trace;
    }
    run.options = &*options;
    run.events = &events;
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

    if (run.trace)
        traceRow(gameState(Screen::Title), true);
    setPassObserver(afterPass);
    exitRequested = options->frames == 0;
    // The whole run, as the game has it: start-up and the first title screen, play with every
    // screen it opens, until the keys end it or it has had its passes.
    if (!startGame(options->seed, AudioSystem::Output::Offline))
        return 1;
    runMainLoop();
    // A game that quit early never reached the later captures.
    for (const auto& capture : options->captures) {
        if (capture.frame >= run.passes) {
            std::fprintf(
                stderr,
                "quelvane-replay: the game ended after frame %lld, before frame %u for %s\n",
                run.passes - 1, capture.frame, capture.file.c_str());
            run.status = 1;
        }
    }
    // Without a pass, the state the start-up left.
    if (run.passes == 0)
        run.lastState = gameState(Screen::Title);
    if (options->printState)
        printState();
    endGame();
    setPassObserver(nullptr);
    platform::useEventSource(nullptr);
    platform::useClock(nullptr);
    if (trace.is_open() && !trace.flush()) {
        std::fprintf(stderr, "quelvane-replay: cannot write %s\n", options->traceFile.c_str());
        run.status = 1;
    }
    return run.status;
}
