#include "platform/WholeFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "platform/OpenFailure.h"

namespace platform {

WholeFile readWholeFile(const std::filesystem::path& file, std::uintmax_t maxBytes) {
    WholeFile result;
    const int fd = ::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        result.fault = WholeFile::Fault::CannotOpen;
        result.error = errno;
        return result;
    }
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        result.fault = WholeFile::Fault::NotRegular;
    } else if (result.size = static_cast<std::uintmax_t>(status.st_size); result.size > maxBytes) {
        result.fault = WholeFile::Fault::TooLarge;
    } else {
        // To the end, wherever a file that grows meanwhile has it, but never past maxBytes + 1.
        result.bytes.reserve(static_cast<size_t>(result.size));
        uint8_t chunk[65536];
        for (;;) {
            const std::uintmax_t room = maxBytes + 1 - result.bytes.size();
            const ssize_t n = ::read(
                fd, chunk, static_cast<size_t>(std::min<std::uintmax_t>(sizeof chunk, room)));
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0) {
                result.fault = WholeFile::Fault::ReadError;
                result.error = errno;
                break;
            }
            if (n == 0)
                break;
            result.bytes.insert(result.bytes.end(), chunk, chunk + n);
            if (result.bytes.size() > maxBytes) {
                result.fault = WholeFile::Fault::TooLarge;
                result.size = result.bytes.size();
                break;
            }
        }
    }
    ::close(fd);
    if (result.fault != WholeFile::Fault::None)
        result.bytes.clear();
    return result;
}

std::string describe(const WholeFile& file, std::uintmax_t maxBytes, const FaultWords& words) {
    switch (file.fault) {
        case WholeFile::Fault::CannotOpen:
            return words.cannotOpen.empty() ? openFailure(file.error) : words.cannotOpen;
        case WholeFile::Fault::NotRegular:
            return words.notRegular;
        case WholeFile::Fault::TooLarge:
            if (!words.tooLarge.empty())
                return words.tooLarge;
            return "too large (" + std::to_string(file.size) + " bytes, at most " +
                   std::to_string(maxBytes) + ")";
        case WholeFile::Fault::ReadError:
            return words.readError;
        case WholeFile::Fault::None:
            break;
    }
    return {};
}

}  // namespace platform
