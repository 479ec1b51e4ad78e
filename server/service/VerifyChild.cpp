#include "server/service/VerifyChild.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <string_view>

namespace quelvane::server {

namespace {

using SteadyClock = std::chrono::steady_clock;

// A verdict is a few short lines; more is no verdict.
constexpr size_t kMostOutput = 64u << 10;

// A folder only this process's user can read, holding the replay, and the child's temporary
// folder: removed with everything in it, whatever became of the child (a verification killed or
// crashed leaves its game's scratch folder behind).
class PrivateFolder {
  public:
    explicit PrivateFolder(const std::vector<uint8_t>& bytes) {
        const char* folder = std::getenv("TMPDIR");
        std::string pattern =
            std::string(folder && *folder ? folder : "/tmp") + "/quelvane-run-XXXXXX";
        if (!::mkdtemp(pattern.data()))
            return;
        path_ = pattern;
        const std::string file = replay();
        const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        size_t done = 0;
        while (fd >= 0 && done < bytes.size()) {
            const ssize_t wrote = ::write(fd, bytes.data() + done, bytes.size() - done);
            if (wrote < 0 && errno == EINTR)
                continue;
            if (wrote <= 0)
                break;
            done += static_cast<size_t>(wrote);
        }
        if (fd < 0 || ::close(fd) != 0 || done != bytes.size())
            remove();
    }
    ~PrivateFolder() { remove(); }
    PrivateFolder(const PrivateFolder&) = delete;
    PrivateFolder& operator=(const PrivateFolder&) = delete;
    bool made() const { return !path_.empty(); }
    const std::string& path() const { return path_; }
    std::string replay() const { return path_ + "/run.qvr"; }

  private:
    void remove() {
        std::error_code ignored;
        if (!path_.empty())
            std::filesystem::remove_all(path_, ignored);
        path_.clear();
    }
    std::string path_;
};

// The server's environment with TMPDIR naming the child's own folder, made before the fork.
class ChildEnvironment {
  public:
    explicit ChildEnvironment(const std::string& folder) {
        for (char** entry = environ; *entry; ++entry) {
            if (std::string_view(*entry).substr(0, 7) != "TMPDIR=")
                strings_.emplace_back(*entry);
        }
        strings_.push_back("TMPDIR=" + folder);
        for (std::string& entry : strings_)
            pointers_.push_back(entry.data());
        pointers_.push_back(nullptr);
    }
    char* const* get() const { return pointers_.data(); }

  private:
    std::vector<std::string> strings_;
    std::vector<char*> pointers_;
};

constexpr int kVerifierNice = 10;

void limit(int resource, rlim_t soft, rlim_t hard) {
    const rlimit value{soft, hard};
    ::setrlimit(resource, &value);
}

// In the child, between fork and exec: only calls that are safe in a copy of a threaded process.
[[noreturn]] void becomeVerifier(const char* program, char* const argv[], char* const envp[],
                                 int output, const ChildLimits& limits, pid_t parent) {
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    // A server that died before the line above sends no signal.
    if (::getppid() != parent)
        ::_exit(127);
    const int nothing = ::open("/dev/null", O_RDONLY);
    if (nothing < 0 || ::dup2(nothing, STDIN_FILENO) < 0 || ::dup2(output, STDOUT_FILENO) < 0)
        ::_exit(127);
    // Nothing else of the server's goes with it: a client's connection held open by a child
    // would stay open until the child ends.
    ::close_range(3, ~0u, 0);
    limit(RLIMIT_CPU, limits.cpuSeconds, limits.cpuSeconds + 1);
    // AddressSanitizer reserves terabytes of address space up front; its builds go without.
#ifndef __SANITIZE_ADDRESS__
    limit(RLIMIT_AS, limits.memoryBytes, limits.memoryBytes);
#endif
    limit(RLIMIT_FSIZE, limits.fileBytes, limits.fileBytes);
    limit(RLIMIT_CORE, 0, 0);
    // Playing a game again yields to answering: a submission or a health check never waits
    // behind a verification for a core.
    ::setpriority(PRIO_PROCESS, 0, kVerifierNice);
    // The server blocks the signals that stop it and ignores SIGPIPE; the game gets neither.
    sigset_t none;
    ::sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
    ::signal(SIGPIPE, SIG_DFL);
    ::execve(program, argv, envp);
    ::_exit(127);
}

// The child's output, read until it closes it, runs past its time, prints too much, or stop is set;
// false when it had to be killed, with the reason.
bool readOutput(int fd, pid_t child, SteadyClock::time_point deadline, const StopCheck& stopped,
                std::string& output, std::string& failure) {
    char buffer[4096];
    for (;;) {
        if (stopped()) {
            failure = "its verification was stopped";
        } else if (SteadyClock::now() >= deadline) {
            failure = "its verification ran past its time on the clock";
        } else if (output.size() > kMostOutput) {
            failure = "its verification printed no verdict";
        }
        if (!failure.empty()) {
            ::kill(child, SIGKILL);
            return false;
        }
        pollfd ready{fd, POLLIN, 0};
        if (::poll(&ready, 1, 100) <= 0)
            continue;
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return true;
        output.append(buffer, static_cast<size_t>(got));
    }
}

// Waits for the child, killing it at the deadline or a stop; the reason it gave no verdict, empty
// when it ended well.
std::string reap(pid_t child, SteadyClock::time_point deadline, const ChildLimits& limits,
                 const StopCheck& stopped) {
    int status = 0;
    rusage usage{};
    while (::wait4(child, &status, WNOHANG, &usage) == 0) {
        if (SteadyClock::now() >= deadline || stopped())
            ::kill(child, SIGKILL);
        ::usleep(10000);
    }
    const double cpu = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                       (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    if (WIFSIGNALED(status)) {
        const int signal = WTERMSIG(status);
        if (signal == SIGXCPU || (signal == SIGKILL && cpu >= limits.cpuSeconds))
            return "its verification ran out of its CPU budget";
        if (signal == SIGKILL && SteadyClock::now() >= deadline)
            return "its verification ran past its time on the clock";
        return "its verification crashed (signal " + std::to_string(signal) + ")";
    }
    if (WIFEXITED(status) && WEXITSTATUS(status) != 0)
        return "its verification failed (exit status " + std::to_string(WEXITSTATUS(status)) + ")";
    return {};
}

}  // namespace

ChildLimits limitsForGame(uint32_t lengthMs) {
    // AddressSanitizer's builds play the game some ten times slower than a release build does.
#ifdef __SANITIZE_ADDRESS__
    constexpr uint32_t kSlowdown = 10;
#else
    constexpr uint32_t kSlowdown = 1;
#endif
    ChildLimits limits;
    limits.cpuSeconds = kSlowdown * cpuBudgetSeconds(lengthMs);
    limits.wallClock = std::chrono::seconds(5 * limits.cpuSeconds + 10);
    return limits;
}

ChildResult verifyInChild(const std::string& program, const std::vector<uint8_t>& file,
                          const ChildLimits& limits, const StopCheck& stopped) {
    ChildResult result;
    const auto start = SteadyClock::now();
    const PrivateFolder folder(file);
    int pipe[2];
    if (!folder.made() || ::pipe2(pipe, O_CLOEXEC) != 0) {
        result.failure = "the worker could not start its verification";
        result.serverSide = true;
        return result;
    }
    std::string arg0 = "quelvane-world", arg1 = "--verify-one", arg2 = folder.replay();
    char* const argv[] = {arg0.data(), arg1.data(), arg2.data(), nullptr};
    const ChildEnvironment environment(folder.path());
    const pid_t parent = ::getpid();
    const pid_t child = ::fork();
    if (child == 0)
        becomeVerifier(program.c_str(), argv, environment.get(), pipe[1], limits, parent);
    ::close(pipe[1]);
    if (child < 0) {
        ::close(pipe[0]);
        result.failure = "the worker could not start its verification";
        result.serverSide = true;
        return result;
    }
    const auto deadline = start + limits.wallClock;
    std::string output;
    readOutput(pipe[0], child, deadline, stopped, output, result.failure);
    result.serverSide = stopped();
    ::close(pipe[0]);
    const std::string ended = reap(child, deadline, limits, stopped);
    if (result.failure.empty())
        result.failure = ended;
    if (result.failure.empty()) {
        result.verdict = parseVerdict(output);
        if (!result.verdict)
            result.failure = "its verification printed no verdict";
    }
    result.seconds = std::chrono::duration<double>(SteadyClock::now() - start).count();
    return result;
}

}  // namespace quelvane::server
