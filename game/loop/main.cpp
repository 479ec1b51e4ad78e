#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "audio/DeviceSettings.h"
#include "game/loop/Entry.h"
#include "game/loop/MainLoop.h"
#include "game/replay/GameRecorder.h"
#include "game/screens/Pass.h"
#include "platform/DataFolders.h"
#include "platform/DisplayOptions.h"
#include "platform/Platform.h"

namespace {

constexpr const char* kUsage =
    "usage: quelvane [--fullscreen | --window] [--smooth] [--setup-first]\n"
    "  --fullscreen   start on the whole screen (the default); F11 switches at any time\n"
    "  --window       start in a window, which can be resized\n"
    "  --smooth       scale the picture to fill the screen's height, filtered, rather than by\n"
    "                 the largest whole factor with sharp pixels\n"
    "  --setup-first  without a MIDI device chosen yet, run tonspire before the game\n"
    "  --help         show this text and exit\n";

// The folder of the replays, beside the scores file.
constexpr const char* kReplayFolder = "replays";

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
    // Cancelled or failed, the game itself then says that tonspire must be run.
    if (command.setupFirst && !std::filesystem::exists(kDeviceSettingsFile))
        platform::runBesideThisProgram("tonspire");
    // Every game is recorded as it is played.
    quelvane::GameRecorder recorder(kReplayFolder);
    static quelvane::GameRecorder* const theRecorder = &recorder;
    quelvane::setPassObserver([] { theRecorder->passEnded(); });
    if (!quelvane::startGame(platform::tickCount()))
        return 1;
    quelvane::runMainLoop();
    recorder.finish();
    quelvane::endGame();
    return 0;
}
