// quelvane-replay: runs the game's own code headless, on a virtual clock with scripted keys or from
// a recorded game, so that a run can be repeated exactly, its frames captured, its state followed
// frame by frame, and a recorded score checked by playing its game again.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "game/core/ExitRequest.h"
#include "game/gfx/Display.h"
#include "game/loop/Entry.h"
#include "game/loop/MainLoop.h"
#include "game/replay/GameRecorder.h"
#include "game/replay/Playback.h"
#include "game/replay/ReplayFile.h"
#include "game/replay/RulesVersion.h"
#include "game/replay/ScratchFolder.h"
#include "game/replay/TraceState.h"
#include "game/screens/Pass.h"
#include "game/screens/Screen.h"
#include "game/world/Assets.h"
#include "platform/Clock.h"
#include "platform/ControlsReader.h"
#include "platform/EventSource.h"
#include "platform/KeysFile.h"
#include "platform/Platform.h"
#include "tools/replay/ReplayOptions.h"
#include "tools/replay/VerifyFile.h"

namespace {

using namespace quelvane;
namespace fs = std::filesystem;

constexpr const char* kUsage =
    "usage: quelvane-replay --frames N --seed S [--tick-start T] [--keys FILE]\n"
    "                       [--capture FRAME:FILE.bmp ...] [--state] [--trace FILE]\n"
    "       quelvane-replay ... --record FOLDER\n"
    "       quelvane-replay --play FILE.qvr [--frames N] [--capture ...] [--state] [--trace FILE]\n"
    "       quelvane-replay --verify FILE.qvr\n"
    "       quelvane-replay --help\n"
    "Runs the whole game from start-up. Every pass of any of its loops (title, play, help, game\n"
    "over, name entry, score table) is one frame; frames count from 0. A keys file holds one\n"
    "event a line: FRAME down|up KEY, or FRAME close. --state prints name=value lines at the end;\n"
    "--trace writes the same names as a tab-separated table, one row after every frame. Like the\n"
    "game it reads MidiDevice.ini and reads and writes scores.dat in the working directory.\n"
    "--play runs a recorded game instead, from its first frame of play, with the tick counts,\n"
    "keys and score table it had; --verify plays it to its end and prints its name, its\n"
    "recorded score, the score it plays to and a digest of its play, and succeeds only when the\n"
    "two scores are equal.\n"
    "--record keeps every game of a keys run in FOLDER as the game keeps them in replays/.\n";

// What the run has done so far; afterPass moves it on after every pass of any loop.
struct Run {
    const ReplayOptions* options = nullptr;
    platform::ScriptedEvents* events = nullptr;
    Playback* playback = nullptr;
    GameRecorder* recorder = nullptr;
    std::ofstream* trace = nullptr;
    long long passes = 0;
    // The state after the last pass counted, which --state prints.
    TraceState lastState;
    int status = 0;
};
Run run;

// The tick count the trace shows after a pass: the virtual clock's, or the one the recording kept.
uint32_t traceTick(long long pass) {
    // Unseen by the seam, so that a recording of this run holds only what the game read.
    if (!run.playback)
        return platform::peekTickCount();
    const auto& ticks = run.playback->recording().passTicks;
    return ticks.empty() ? 0 : ticks[std::min<size_t>(static_cast<size_t>(pass), ticks.size() - 1)];
}

// After every pass of any loop: the trace row and the captures of that pass, the next pass's keys,
// and the end of the run once it has had its passes. A run that ends inside a screen opened by a
// frame of play still finishes that frame as the game unwinds; that last piece is no pass of the
// run's own and is not counted.
void afterPass() {
    if (run.passes >= run.options->frames)
        return;
    const auto pass = static_cast<uint32_t>(run.passes++);
    run.lastState = traceState(run.passes, currentScreen, traceTick(pass));
    if (run.trace)
        writeTraceRow(*run.trace, run.lastState, false);
    for (const auto& capture : run.options->captures) {
        if (capture.frame == pass && !display.SavePresented(capture.file)) {
            std::fprintf(stderr, "quelvane-replay: cannot write %s\n", capture.file.c_str());
            run.status = 1;
        }
    }
    run.events->setFrame(pass + 1);
    if (run.passes < run.options->frames)
        return;
    if (run.recorder)
        run.recorder->cutRun();
    exitRequested = true;
}

std::string absolute(const std::string& path) {
    std::error_code ignored;
    return path.empty() ? path : fs::absolute(path, ignored).string();
}

int finish() {
    // A game that quit early never reached the later captures.
    for (const auto& capture : run.options->captures) {
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
        run.lastState = traceState(0, Screen::Title, traceTick(0));
    if (run.options->printState) {
        for (const auto& [name, value] : run.lastState)
            std::printf("%s=%s\n", name, value.c_str());
    }
    return run.status;
}

// The recorded game of --play, its frames and captures fitted to it; none, and a line
// on standard error, when it cannot be read or the captures fall outside it.
std::optional<Recording> openRecording(ReplayOptions& options) {
    ReplayRead read = readReplayFile(options.playFile, rulesVersion());
    if (!read.recording) {
        std::fprintf(stderr, "quelvane-replay: %s: %s\n", options.playFile.c_str(),
                     read.error.c_str());
        return std::nullopt;
    }
    const uint32_t passes = read.recording->header.passes;
    options.frames = options.framesGiven ? std::min(options.frames, passes) : passes;
    std::string error;
    if (!capturesWithinFrames(options, error)) {
        std::fprintf(stderr, "quelvane-replay: %s\n", error.c_str());
        return std::nullopt;
    }
    for (auto& capture : options.captures)
        capture.file = absolute(capture.file);
    options.traceFile = absolute(options.traceFile);
    return std::move(read.recording);
}

// Like the game, a keys run takes the working folder's controls when it has some.
void useFolderControls() {
    std::error_code noControls;
    if (!fs::exists("controls.ini", noControls))
        return;
    std::vector<std::string> problems;
    platform::useControls(platform::readControls("controls.ini", problems));
    for (const std::string& problem : problems)
        std::fprintf(stderr, "quelvane-replay: %s\n", problem.c_str());
}

// The trace file, when one is asked for; false, and a line on standard error, when it cannot be
// written.
bool openTrace(const std::string& file, std::ofstream& trace) {
    if (file.empty())
        return true;
    trace.open(file);
    if (!trace) {
        std::fprintf(stderr, "quelvane-replay: cannot write %s\n", file.c_str());
        return false;
    }
    run.trace = &trace;
    return true;
}

// Run from anywhere: the assets generated beside the program serve when the working directory has
// none of its own. A recorded game plays in a scratch folder of its own, so that the player's
// scores and replays are neither read nor touched.
bool enterFolders(bool recorded, std::unique_ptr<ScratchFolder>& folder) {
    std::error_code ignored;
    if (recorded || !fs::exists("ship.bmp", ignored))
        setAssetFolder(fs::read_symlink("/proc/self/exe", ignored).parent_path());
    if (!recorded)
        return true;
    folder = std::make_unique<ScratchFolder>();
    if (!folder->entered()) {
        std::fprintf(stderr, "quelvane-replay: cannot make a folder to play in\n");
        return false;
    }
    return true;
}

// Starts the game: a recording from its first frame of play and the state it saved, else the whole
// run as the game has it (start-up, the first title screen, play with every screen it opens, until
// the keys end it or it has had its passes). The exit status when it cannot, else 0.
int beginRun(const std::optional<Recording>& recording, const ReplayOptions& options,
             std::unique_ptr<Playback>& playback) {
    if (!recording)
        return startGame(options.seed, AudioSystem::Output::Offline) ? 0 : 1;
    if (!openGame(0, AudioSystem::Output::Offline))
        return 1;
    playback = std::make_unique<Playback>(*recording);
    if (!playback->begin()) {
        std::fprintf(stderr, "quelvane-replay: %s: %s\n", options.playFile.c_str(), kCannotBegin);
        endGame();
        return 2;
    }
    run.playback = playback.get();
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::string error;
    auto options = parseReplayOptions(std::vector<std::string>(argv + 1, argv + argc), error);
    if (!options) {
        std::fprintf(stderr, "quelvane-replay: %s\n%s", error.c_str(), kUsage);
        return 2;
    }
    if (options->help) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (options->verify)
        return verifyFile(options->playFile);
    std::optional<Recording> recording;
    if (!options->playFile.empty()) {
        recording = openRecording(*options);
        if (!recording)
            return 2;
    }
    if (!recording)
        useFolderControls();
    platform::ScriptedEvents events;
    if (!options->keysFile.empty() && !platform::loadKeysFile(options->keysFile, events, error)) {
        std::fprintf(stderr, "quelvane-replay: %s\n", error.c_str());
        return 2;
    }
    std::ofstream trace;
    if (!openTrace(options->traceFile, trace))
        return 2;
    run.options = &*options;
    run.events = &events;
    // Headless, whatever the session offers; the sound is mixed nowhere, the same on every run.
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    std::unique_ptr<ScratchFolder> folder;
    if (!enterFolders(recording.has_value(), folder))
        return 1;
    platform::VirtualClock clock(options->tickStart);
    platform::useClock(&clock);
    platform::useEventSource(&events);

    if (run.trace)
        writeTraceRow(trace, traceState(0, Screen::Title, 0), true);
    std::unique_ptr<GameRecorder> recorder;
    if (!options->recordFolder.empty()) {
        recorder = std::make_unique<GameRecorder>(options->recordFolder);
        run.recorder = recorder.get();
    }
    const platform::Subscription passes = passEnds().subscribe(afterPass);
    exitRequested = options->frames == 0;
    std::unique_ptr<Playback> playback;
    if (const int status = beginRun(recording, *options, playback); status != 0)
        return status;
    runMainLoop();
    if (recorder)
        recorder->finish();
    const int status = finish();
    endGame();
    playback.reset();
    recorder.reset();
    platform::useEventSource(nullptr);
    platform::useClock(nullptr);
    if (trace.is_open() && !trace.flush()) {
        std::fprintf(stderr, "quelvane-replay: cannot write %s\n", options->traceFile.c_str());
        return 1;
    }
    return status;
}
