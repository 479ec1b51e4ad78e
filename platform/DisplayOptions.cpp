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

bool parseDisplayOptions(const std::vector<std::string>& args, DisplayOptions& options, bool& help,
                         std::string& error) {
    help = false;
    for (const std::string& arg : args) {
        if (arg == "--window") {
            options.fullScreen = false;
        } else if (arg == "--fullscreen") {
            options.fullScreen = true;
        } else if (arg == "--smooth") {
            options.scaling = Scaling::Smooth;
        } else if (arg == "--help" || arg == "-h") {
            help = true;
        } else {
            error = "unknown option '" + arg + "'";
            return false;
        }
    }
    return true;
}

}  // namespace platform
