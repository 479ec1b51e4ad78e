#include "platform/KeysFile.h"

#include <charconv>
#include <fstream>
#include <optional>
#include <sstream>

#include "platform/VirtualKeys.h"

namespace platform {

bool parseNumber(const std::string& text, uint32_t& value) {
    const char* end = text.data() + text.size();
    const auto [ptr, err] = std::from_chars(text.data(), end, value);
    return err == std::errc() && ptr == end && !text.empty();
}

bool loadKeysFile(const std::string& file, ScriptedEvents& events, std::string& error) {
    std::ifstream in(file);
    if (!in) {
        error = "cannot read " + file;
        return false;
    }
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        std::istringstream words(line);
        std::string frameText, action, keyName, extra;
        if (!(words >> frameText) || frameText[0] == '#')
            continue;
        words >> action >> keyName >> extra;
        uint32_t frame = 0;
        Message message;
        bool ok = parseNumber(frameText, frame) && extra.empty();
        if (ok && action == "close") {
            ok = keyName.empty();
            message.kind = MessageKind::Close;
        } else if (ok && (action == "down" || action == "up")) {
            const std::optional<int> key = virtualKeyFromName(keyName);
            ok = key.has_value();
            message.kind = action == "down" ? MessageKind::KeyDown : MessageKind::KeyUp;
            message.key = key.value_or(0);
        } else {
            ok = false;
        }
        if (!ok) {
            error =
                file + ":" + std::to_string(number) + ": expected FRAME down|up KEY or FRAME close";
            return false;
        }
        events.add(frame, message);
    }
    return true;
}

}  // namespace platform
