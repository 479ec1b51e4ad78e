#include "platform/AtomicFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <random>
#include <system_error>

namespace platform {

namespace fs = std::filesystem;

namespace {

// The kernel's own limit on the links one path may pass through.
constexpr int kMaxLinks = 40;
// Temporary names are random; a clash this many times over means something else is wrong.
constexpr int kNameAttempts = 100;
constexpr std::size_t kSuffixDigits = 8;

class Descriptor {
  public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;

    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }

  private:
    int fd_;
};

bool fail(std::string* reason, const std::string& message) {
    if (reason != nullptr) {
        *reason = message;
    }
    return false;
}

bool fail(std::string* reason, int error) {
    return fail(reason, std::generic_category().message(error));
}

// No error number says this; the message reads like the system's own.
constexpr const char* kNotARegularFile = "Not a regular file";

// Temporary files are "<name>.tmp-<pid>-<8 hex digits>": the process id tells a dead writer's file
// from a live one's.
std::string temporaryPrefix(const std::string& name) {
    return name + ".tmp-";
}

std::string temporaryName(const std::string& name) {
    char suffix[kSuffixDigits + 1];
    std::snprintf(suffix, sizeof suffix, "%08x", static_cast<unsigned>(std::random_device{}()));
    return temporaryPrefix(name) + std::to_string(::getpid()) + "-" + suffix;
}

bool isStaleTemporary(std::string_view entry, const std::string& prefix) {
    if (!entry.starts_with(prefix)) {
        return false;
    }
    entry.remove_prefix(prefix.size());
    pid_t pid = 0;
    const auto [end, error] = std::from_chars(entry.data(), entry.data() + entry.size(), pid);
    const std::string_view suffix(end, static_cast<std::size_t>(entry.data() + entry.size() - end));
    if (error != std::errc() || pid <= 0 || suffix.size() != kSuffixDigits + 1 ||
        suffix[0] != '-' || !std::all_of(suffix.begin() + 1, suffix.end(), [](char c) {
            return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
        })) {
        return false;
    }
    return pid != ::getpid() && ::kill(pid, 0) != 0 && errno == ESRCH;
}

// A writer killed between naming its temporary file and the rename leaves the file; the next write
// takes it away. A folder that cannot be listed is skipped: the write itself may still work.
void removeStaleTemporaries(int folder, const std::string& name) {
    const int fd = ::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        return;
    }
    DIR* dir = ::fdopendir(fd);
    if (dir == nullptr) {
        ::close(fd);
        return;
    }
    const std::string prefix = temporaryPrefix(name);
    while (const dirent* entry = ::readdir(dir)) {
        if (isStaleTemporary(entry->d_name, prefix)) {
            ::unlinkat(::dirfd(dir), entry->d_name, 0);
        }
    }
    ::closedir(dir);
}

// The file that path leads to through any chain of symbolic links; a missing file is its own end.
int followLinks(fs::path path, fs::path& target) {
    for (int followed = 0; followed <= kMaxLinks; ++followed) {
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
            target = std::move(path);
            return 0;
        }
        std::error_code error;
        const fs::path next = fs::read_symlink(path, error);
        if (error) {
            return error.value();
        }
        path = next.is_absolute() ? next : path.parent_path() / next;
    }
    return ELOOP;
}

// An unnamed file where the file system has them (nothing to clean up if the writer dies), else a
// named one whose name goes to temporary. -1 with errno set when neither can be made.
int openTemporary(int folder, const std::string& name, std::string& temporary) {
    // An unnamed file is named through /proc, which a chroot or a bare container may lack.
    if (::access("/proc/self/fd", X_OK) == 0) {
        const int fd = ::openat(folder, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
        // Kernels without O_TMPFILE see a directory opened for writing (EISDIR).
        if (fd >= 0 || (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)) {
            return fd;
        }
    }
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        std::string candidate = temporaryName(name);
        const int named =
            ::openat(folder, candidate.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0666);
        if (named >= 0) {
            temporary = std::move(candidate);
        }
        if (named >= 0 || errno != EEXIST) {
            return named;
        }
    }
    return -1;
}

// Names an unnamed temporary file so that it can be renamed over the target: linkat cannot replace
// an existing file. Returns 0 or the error.
int linkTemporary(int fd, int folder, const std::string& name, std::string& temporary) {
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        std::string candidate = temporaryName(name);
        if (::linkat(AT_FDCWD, self.c_str(), folder, candidate.c_str(), AT_SYMLINK_FOLLOW) == 0) {
            temporary = std::move(candidate);
            return 0;
        }
        if (errno != EEXIST) {
            return errno;
        }
    }
    return EEXIST;
}

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

// Makes the rename itself durable. A folder that cannot be opened for reading is left to the
// system: the new contents are already in place.
void flushFolder(int folder) {
    const Descriptor dir(::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.valid()) {
        ::fsync(dir.get());
    }
}

// The file itself, when no temporary file could be made; temporaryError said why, and is the
// reason given when the file cannot be opened either.
bool writeInPlace(int folder, const std::string& name, std::string_view bytes, int temporaryError,
                  std::string* reason) {
    // Non-blocking and not through a link, so that a FIFO or a link swapped in meanwhile cannot
    // hang the write or send it elsewhere.
    const Descriptor fd(
        ::openat(folder, name.c_str(), O_WRONLY | O_NONBLOCK | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC));
    if (!fd.valid()) {
        return fail(reason, temporaryError);
    }
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0) {
        return fail(reason, errno);
    }
    if (!S_ISREG(st.st_mode)) {
        return fail(reason, kNotARegularFile);
    }
    if (::ftruncate(fd.get(), 0) != 0 || !writeAll(fd.get(), bytes) || ::fsync(fd.get()) != 0) {
        return fail(reason, errno);
    }
    return true;
}

}  // namespace

bool replaceFileContents(const fs::path& file, std::string_view bytes, InPlaceWrite inPlace,
                         std::string* reason) {
    fs::path target;
    if (const int error = followLinks(file, target)) {
        return fail(reason, error);
    }
    const std::string name = target.filename().string();
    if (name.empty()) {
        return fail(reason, EISDIR);
    }
    const Descriptor folder(::open(target.has_parent_path() ? target.parent_path().c_str() : ".",
                                   O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (!folder.valid()) {
        return fail(reason, errno);
    }

    struct stat old {};
    const bool exists = ::fstatat(folder.get(), name.c_str(), &old, 0) == 0;
    if (exists && !S_ISREG(old.st_mode)) {
        return S_ISDIR(old.st_mode) ? fail(reason, EISDIR) : fail(reason, kNotARegularFile);
    }

    removeStaleTemporaries(folder.get(), name);
    std::string temporary;
    const Descriptor fd(openTemporary(folder.get(), name, temporary));
    if (!fd.valid()) {
        const int error = errno;
        if (inPlace == InPlaceWrite::WhenNoTemporaryFile && exists) {
            return writeInPlace(folder.get(), name, bytes, error, reason);
        }
        return fail(reason, error);
    }

    // The owner is kept where the system lets us (a file of the user's that root rewrites stays
    // theirs); before the mode, as a change of owner clears the set-id bits.
    if (exists && (old.st_uid != ::geteuid() || old.st_gid != ::getegid())) {
        [[maybe_unused]] const int ignored = ::fchown(fd.get(), old.st_uid, old.st_gid);
    }
    int error = 0;
    if ((exists && ::fchmod(fd.get(), old.st_mode & 07777) != 0) || !writeAll(fd.get(), bytes) ||
        ::fsync(fd.get()) != 0) {
        error = errno;
    }
    if (error == 0 && temporary.empty()) {
        error = linkTemporary(fd.get(), folder.get(), name, temporary);
    }
    if (error == 0 &&
        ::renameat(folder.get(), temporary.c_str(), folder.get(), name.c_str()) != 0) {
        error = errno;
    }
    if (error != 0) {
        if (!temporary.empty()) {
            ::unlinkat(folder.get(), temporary.c_str(), 0);
        }
        return fail(reason, error);
    }
    flushFolder(folder.get());
    return true;
}

}  // namespace platform
