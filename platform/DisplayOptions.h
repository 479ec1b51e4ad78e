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

// Takes --window, --fullscreen and --smooth from a command line (the last of --window and
// --fullscreen wins) and sets help for --help or -h; false with the reason in error for anything
// else.
bool parseDisplayOptions(const std::vector<std::string>& args, DisplayOptions& options, bool& help,
                         std::string& error);

}  // namespace platform
