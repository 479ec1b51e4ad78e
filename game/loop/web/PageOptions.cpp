#include "game/loop/web/PageOptions.h"

#include "platform/KeysFile.h"

namespace quelvane {

bool parsePageOptions(const std::vector<std::string>& args, PageOptions& options) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--fast") {
            options.fast = true;
            continue;
        }
        if (i + 1 >= args.size())
            return false;
        const std::string& value = args[++i];
        uint32_t number = 0;
        const bool isNumber = platform::parseNumber(value, number);
        if (arg == "--keys")
            options.keysFile = value;
        else if (arg == "--seed" && isNumber)
            options.seeded = true, options.seed = number;
        else if (arg == "--tick-start" && isNumber)
            options.tickStart = number;
        else if (arg == "--hold" && isNumber)
            options.hold = number;
        else
            return false;
    }
    return true;
}

}  // namespace quelvane
