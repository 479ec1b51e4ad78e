#include "audio/DeviceSettings.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>

std::optional<std::string> readDeviceSettings(const std::filesystem::path& file) {
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
    return line;
}

namespace {

bool writeAll(int fd, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace

bool writeDeviceSettings(const std::filesystem::path& file, const std::string& text) {
    const std::filesystem::path folder =
        file.has_parent_path() ? file.parent_path() : std::filesystem::path(".");
    std::string pattern = (folder / (file.filename().string() + ".XXXXXX")).string();
    const int fd = ::mkstemp(pattern.data());
    if (fd < 0) {
        return false;
    }
    // mkstemp makes the file private; the settings file is an ordinary user file.
    bool ok = ::fchmod(fd, 0644) == 0 && writeAll(fd, text) && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    if (ok && std::rename(pattern.c_str(), file.c_str()) == 0) {
        // Make the rename itself durable.
        const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
        if (dir >= 0) {
            ::fsync(dir);
            ::close(dir);
        }
        return true;
    }
    ::unlink(pattern.c_str());
    return false;
}
