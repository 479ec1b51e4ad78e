#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "audio/DeviceSettings.h"
#include "game/core/ExitRequest.h"
#include "game/loop/Entry.h"
#include "game/loop/Globals.h"
#include "game/loop/MainLoop.h"
#include "game/loop/WorldSenderFeed.h"
#include "game/loop/WorldTablePage.h"
#include "game/online/RunDownload.h"
#include "game/online/WorldSender.h"
#include "game/replay/GameRecorder.h"
#include "game/replay/Playback.h"
#include "game/replay/ReplayFile.h"
#include "game/replay/RulesVersion.h"
#include "game/scores/HighScores.h"
#include "game/screens/HelpPages.h"
#include "game/screens/MessagePicture.h"
#include "game/screens/Pass.h"
#include "platform/AtomicFile.h"
#include "platform/ControlsReader.h"
#include "platform/DataFolders.h"
#include "platform/DisplayOptions.h"
#include "platform/MessageWindow.h"
#include "platform/Platform.h"
#include "platform/WatchControls.h"
#include "platform/Window.h"

namespace {

constexpr const char* kUsage =
    "usage: quelvane [--fullscreen | --window] [--smooth] [--setup-first] [--watch FILE]\n"
    "  --fullscreen   start on the whole screen (the default); F11 switches at any time\n"
    "  --window       start in a window, which can be resized\n"
    "  --smooth       scale the picture to fill the screen's height, filtered, rather than by\n"
    "                 the largest whole factor with sharp pixels\n"
    "  --setup-first  without a MIDI device chosen yet, run tonspire before the game\n"
    "  --watch FILE   watch a recorded game (replays/last.qvr, say) at its own speed: Space\n"
    "                 pauses, Right or F held plays it four times as fast, Esc ends it; FILE\n"
    "                 may be a run on a world table (http://host/api/runs/ID/replay)\n"
    "  --help         show this text and exit\n";

// The folder of the replays, beside the scores file.
constexpr const char* kReplayFolder = "replays";
// The player's controls, beside the scores file.
constexpr const char* kControlsFile = "controls.ini";

// Tells what a settings file gets wrong on standard error and, on a desktop, in a dialog.
void tellProblems(const std::vector<std::string>& problems, const std::string& outcome,
                  const char* caption) {
    if (problems.empty())
        return;
    std::string text;
    for (const std::string& problem : problems) {
        std::fprintf(stderr, "quelvane: %s\n", problem.c_str());
        text += problem + "\n";
    }
    if (platform::hasGraphicalSession())
        platform::messageBox((text + outcome).c_str(), caption);
}

// Reads the player's controls, writing the defaults first when there is no file yet; what the file
// gets wrong is told on standard error and, on a desktop, in a dialog, and the game goes on with
// the defaults for it.
void loadControls() {
    std::error_code missing;
    if (!std::filesystem::exists(kControlsFile, missing)) {
        std::string reason;
        if (!platform::replaceFileContents(kControlsFile, platform::defaultControlsFile(),
                                           platform::InPlaceWrite::Never, &reason))
            std::fprintf(stderr, "quelvane: cannot write %s: %s\n", kControlsFile, reason.c_str());
        return;
    }
    std::vector<std::string> problems;
    platform::useControls(platform::readControls(kControlsFile, problems));
    tellProblems(problems, "The game uses the default controls for these.", "Quelvane's controls");
}

// Starts sending games to the world table when world.ini names its server. A file with faults is
// told as controls.ini's are, and the game plays on without the world table.
std::unique_ptr<quelvane::online::WorldSender> startWorldSender() {
    using namespace quelvane::online;
    std::vector<std::string> problems;
    std::optional<WorldSettings> settings = readWorldSettings(kWorldSettingsFile, problems);
    tellProblems(problems, "The game plays on without the world table.", "Quelvane's world table");
    if (!settings)
        return nullptr;
    return std::make_unique<WorldSender>(std::move(*settings), kReplayFolder);
}

// Says why a replay cannot be watched: in a dialog on a desktop, else on standard error.
void refuse(const std::string& file, const std::string& reason) {
    const std::string text = file + ": " + reason;
    platform::messageBox(text.c_str(), "Quelvane cannot play this replay");
}

// The replay to watch: a file, or a run on a world table's server, downloaded before the window
// opens.
quelvane::ReplayRead readWatched(const std::string& file) {
    using namespace quelvane;
    if (!online::isRunAddress(file))
        return readReplayFile(file, rulesVersion());
    ReplayRead read;
    const std::optional<std::vector<uint8_t>> bytes = online::downloadRun(file, read.error);
    return bytes ? decodeReplay(*bytes, rulesVersion()) : read;
}

// Plays a recorded game in the window, with its music and sounds, through the same screens as the
// game; the player's files stay as they are.
int watch(const quelvane::Recording& recording, const std::string& file) {
    using namespace quelvane;
    if (!openGame(platform::tickCount()))
        return 1;
    platform::WatchControls controls(gameWindow.get());
    Playback playback(recording, &controls);
    if (!playback.begin()) {
        endGame();
        refuse(file, kCannotBegin);
        return 1;
    }
    const platform::Subscription ending = passEnds().subscribe([&playback] {
        if (playback.ended())
            exitRequested = true;
    });
    // The recording begins at its first frame of play, when the title screen has started the music.
    audioSystem->PlayMusic(backgroundMusic.get());
    runMainLoop();
    endGame();
    return 0;
}

// Plays until the player quits. Every game is recorded as it is played, and sent to the world
// table when there is one.
int play() {
    using namespace quelvane;
    GameRecorder recorder(kReplayFolder);
    const std::unique_ptr<online::WorldSender> world = startWorldSender();
    if (world)
        useTablePageNote([&world] { return statusLine(world->status()); });
    useWorldSender(world.get());
    // A run chosen on the world table's page is watched by the game itself, beside this one.
    useWatchProgram(platform::thisProgram());
    nameWorldTableKey(world != nullptr);
    const bool started = startGame(platform::tickCount());
    if (started)
        runMainLoop();
    useWorldSender(nullptr);
    useTablePageNote({});
    recorder.finish();
    if (started)
        endGame();
    return started ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    platform::CommandLine command;
    std::string error;
    if (!platform::parseCommandLine(std::vector<std::string>(argv + 1, argv + argc), command,
                                    error)) {
        std::fprintf(stderr, "quelvane: %s\n%s", error.c_str(), kUsage);
        return 2;
    }
    if (command.help) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    platform::setDisplayOptions(command.display);
    platform::useMessagePainter(&quelvane::drawMessage);
    quelvane::useGameWindow(&platform::Window::create);
    // Read from where the player started the game, before it moves into its data folder.
    std::optional<quelvane::Recording> recording;
    if (!command.watchFile.empty()) {
        quelvane::ReplayRead read = readWatched(command.watchFile);
        if (!read.recording) {
            refuse(command.watchFile, read.error);
            return 1;
        }
        recording = std::move(read.recording);
    }
    // Installed, the game works in the player's data folder, where its assets are linked.
    const auto folders = platform::chooseDataFolders(
        platform::thisProgram(), std::getenv("XDG_DATA_HOME"), std::getenv("HOME"));
    if (!platform::enterDataFolder(folders, true, error)) {
        std::fprintf(stderr, "quelvane: %s\n", error.c_str());
        return 1;
    }
    // Without a desktop SDL would fall back to an invisible window, and the game would run unseen
    // until killed.
    if (!platform::hasGraphicalSession()) {
        std::fprintf(stderr,
                     "quelvane: needs a graphical session (X11 or Wayland); start it from a "
                     "desktop, or use quelvane-replay to run it headless\n");
        return 1;
    }
    loadControls();
    // Cancelled or failed, the game itself then says that tonspire must be run.
    if (command.setupFirst && !std::filesystem::exists(kDeviceSettingsFile))
        platform::runBesideThisProgram("tonspire");
    if (recording)
        return watch(*recording, command.watchFile);
    return play();
}
