#include "game/loop/web/PageReplays.h"

#include <emscripten.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <optional>
#include <utility>

#include "game/core/ExitRequest.h"
#include "game/loop/Entry.h"
#include "game/loop/Globals.h"
#include "game/loop/MainLoop.h"
#include "game/replay/GameRecorder.h"
#include "game/replay/KeptReplays.h"
#include "game/replay/Playback.h"
#include "game/replay/ReplayFile.h"
#include "game/replay/RulesVersion.h"
#include "game/replay/TraceState.h"
#include "game/screens/Pass.h"
#include "game/screens/Screen.h"
#include "platform/Platform.h"
#include "platform/WatchControls.h"

namespace quelvane {

namespace {

// The replays' folder, in the player's folder as on the desktop.
constexpr const char* kReplayFolder = "replays";
// The player's folder, which IndexedDB keeps.
constexpr const char* kPlayerFolder = "/data";

// The replay handed over and not begun yet, and its number, which the page's answer carries.
std::optional<Recording> handedOver;
int handedOverNumber = 0;
platform::WatchControls* watching = nullptr;

// The page's answer to a replay handed over: why it could not be played, or "" and the state the
// watched game came to, as quelvane-replay's --state prints it.
void answerReplay(int number, const std::string& error, const std::string& state) {
    EM_ASM({ Module['quelvanePage'].replayDone($0, UTF8ToString($1), UTF8ToString($2)); }, number,
           error.c_str(), state.c_str());
}

// Writes the player's folder back to IndexedDB and waits for it: the fsync of a mounted folder
// does that under Asyncify. The replays' own saves have done it already but for the prune of the
// kept ones.
void keepPlayerFolder() {
    const int folder = open(kPlayerFolder, O_RDONLY);
    if (folder < 0)
        return;
    fsync(folder);
    close(folder);
}

void tellGameSaved(bool shipLost) {
    keepPlayerFolder();
    const std::string file =
        std::string(kPlayerFolder) + "/" + kReplayFolder + "/" + kLastReplayFile;
    EM_ASM({ Module['quelvanePage'].recorded(UTF8ToString($0), !!$1); }, file.c_str(),
           shipLost ? 1 : 0);
}

// The seams and keys as a new run finds them; a run ended by a replay handed over has asked to end.
void afterRun() {
    platform::resetInput();
    exitRequested = false;
}

bool playGame(uint32_t seed) {
    GameRecorder recorder(kReplayFolder);
    const platform::Subscription saves = recorder.gamesSaved().subscribe(tellGameSaved);
    if (!startGame(seed))
        return false;
    runMainLoop();
    recorder.finish();
    endGame();
    afterRun();
    return true;
}

std::string stateText(const TraceState& state) {
    std::string text;
    for (const auto& [name, value] : state)
        text += std::string(name) + "=" + value + "\n";
    return text;
}

// Plays the recording in the canvas at its own pace, with the watcher's keys, as the desktop does;
// the state its last pass (or the watcher's end) left, none when it cannot begin.
std::optional<std::string> watch(const Recording& recording) {
    platform::WatchControls controls(gameWindow.get());
    Playback playback(recording, &controls);
    if (!playback.begin()) {
        endGame();
        return std::nullopt;
    }
    watching = &controls;
    TraceState last = traceState(0, currentScreen, 0);
    long long passes = 0;
    const platform::Subscription counting = passEnds().subscribe([&] {
        if (passes >= recording.header.passes)
            return;
        const auto& ticks = recording.passTicks;
        const size_t pass = static_cast<size_t>(passes++);
        last = traceState(passes, currentScreen,
                          ticks.empty() ? 0 : ticks[std::min(pass, ticks.size() - 1)]);
        if (playback.ended())
            exitRequested = true;
    });
    // The recording begins at its first frame of play, when the title screen has started the music.
    audioSystem->PlayMusic(backgroundMusic.get());
    EM_ASM({ Module['quelvanePage'].watching(true); });
    runMainLoop();
    watching = nullptr;
    EM_ASM({ Module['quelvanePage'].watching(false); });
    endGame();
    return stateText(last);
}

bool watchHandedOver(const PageRuns& runs) {
    const Recording recording = std::move(*handedOver);
    const int number = handedOverNumber;
    handedOver.reset();
    if (!openGame(runs.seed())) {
        answerReplay(number, "the game could not be started to play it", "");
        return false;
    }
    const std::optional<std::string> state = watch(recording);
    runs.restoreSeams();
    afterRun();
    answerReplay(number, state ? "" : kCannotBegin, state.value_or(""));
    return true;
}

}  // namespace

bool playGamesAndReplays(const PageRuns& runs) {
    for (;;) {
        if (!playGame(runs.seed()))
            return false;
        // Without a replay handed over, the player quit.
        if (!handedOver)
            return true;
        while (handedOver) {
            if (!watchHandedOver(runs))
                return false;
        }
    }
}

std::string handOverReplay(const std::string& file, int number) {
    ReplayRead read = readReplayFile(file, rulesVersion());
    if (!read.recording)
        return read.error;
    // One taken before and not begun yet gives way to this one.
    if (handedOver)
        answerReplay(handedOverNumber, "another replay was opened before this one began", "");
    handedOver = std::move(read.recording);
    handedOverNumber = number;
    exitRequested = true;
    if (watching)
        watching->end();
    return {};
}

}  // namespace quelvane
