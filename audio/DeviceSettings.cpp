#include "audio/DeviceSettings.h"

#include <algorithm>
#include <fstream>

#include "platform/AtomicFile.h"

std::string limitDescription(std::string description) {
    if (description.size() <= kMaxDeviceNameLength) {
        return description;
    }
    std::size_t cut = kMaxDeviceNameLength;
    // Back off over continuation bytes so that no multi-byte character is split.
    while (cut > 0 && (static_cast<unsigned char>(description[cut]) & 0xC0) == 0x80) {
        --cut;
    }
    description.resize(cut);
    return description;
}

std::optional<std::string> readDeviceSettings(const std::filesystem::path& file) {
    std::error_code error;
    // A folder of that name opens as a stream but is no settings file.
    if (std::filesystem::is_directory(file, error)) {
        return std::nullopt;
    }
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    // Read one character past the limit so that a CR right after 127 characters is still seen as
    // the line's end rather than kept.
    std::string line;
    char c = 0;
    while (line.size() <= kMaxDeviceNameLength && in.get(c) && c != '\n') {
        line.push_back(c);
    }
    const bool endedAtLineFeed = in && c == '\n';
    if (endedAtLineFeed && !line.empty() && line.back() == '\r') {
        line.pop_back();
    }
    if (line.size() > kMaxDeviceNameLength) {
        line.resize(kMaxDeviceNameLength);
    }
    // The name is zero-terminated text: a NUL ends it for the game's port search and the tool's
    // preselection alike.
    line.resize(std::min(line.size(), line.find('\0')));
    return line;
}

bool writeDeviceSettings(const std::filesystem::path& file, const std::string& text,
                         std::string* reason) {
    // Losing the settings to a torn write costs only a new choice; not saving them at all keeps
    // the game from starting.
    return platform::replaceFileContents(file, text, platform::InPlaceWrite::WhenNoTemporaryFile,
                                         reason);
}
