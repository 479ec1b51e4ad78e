#include "platform/DisplayOptions.h"

namespace platform {

namespace {
DisplayOptions& current() {
    static DisplayOptions options;
    return options;
}
}  // namespace

void setDisplayOptions(const DisplayOptions& options) {
    current() = options;
}

const DisplayOptions& displayOptions() {
    return current();
}

bool parseCommandLine(const std::vector<std::string>& args, CommandLine& command,
                      std::string& error) {
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--watch") {
            if (i + 1 >= args.size() || args[i + 1].empty()) {
                error = "--watch needs a replay file";
                return false;
            }
            command.watchFile = args[++i];
        } else if (arg == "--window") {
            command.display.fullScreen = false;
        } else if (arg == "--fullscreen") {
            command.display.fullScreen = true;
        } else if (arg == "--smooth") {
            command.display.scaling = Scaling::Smooth;
        } else if (arg == "--setup-first") {
            command.setupFirst = true;
        } else if (arg == "--help" || arg == "-h") {
            command.help = true;
        } else {
            error = "unknown option '" + arg + "'";
            return false;
        }
    }
    return true;
}

}  // namespace platform
