#pragma once

#include <string>
#include <vector>

#include "platform/Placement.h"

namespace platform {

// How the player wants the game shown; the window reads these when it opens.
struct DisplayOptions {
    bool fullScreen = true;
    Scaling scaling = Scaling::Sharp;
};

void setDisplayOptions(const DisplayOptions& options);
const DisplayOptions& displayOptions();

// The game's command line.
struct CommandLine {
    DisplayOptions display;   // --window, --fullscreen (the last of the two wins), --smooth
    bool setupFirst = false;  // --setup-first: run tonspire first when there are no settings
    bool help = false;        // --help or -h
    std::string watchFile;    // --watch FILE: a recorded game to watch instead of playing
};

// False with the reason in error for an argument it does not know.
bool parseCommandLine(const std::vector<std::string>& args, CommandLine& command,
                      std::string& error);

}  // namespace platform
