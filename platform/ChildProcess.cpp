#include "platform/ChildProcess.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

extern char** environ;

namespace platform {

namespace {

// How long a child asked to stop has before it is killed: long enough for a game to close its
// window and sound.
constexpr auto kStopGrace = std::chrono::seconds(2);

int codeOf(int status) {
    if (WIFEXITED(status))
        return WEXITSTATUS(status);
    return WIFSIGNALED(status) ? 128 + WTERMSIG(status) : 1;
}

}  // namespace

std::unique_ptr<ChildProcess> ChildProcess::start(const std::filesystem::path& program,
                                                  const std::vector<std::string>& args,
                                                  std::string& error) {
    const std::string path = program.string();
    const std::string name = program.filename().string();
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(name.c_str()));
    for (const std::string& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    const int failed = posix_spawn(&pid, path.c_str(), nullptr, nullptr, argv.data(), environ);
    if (failed != 0) {
        error = "cannot start " + path + ": " + std::strerror(failed);
        return nullptr;
    }
    return std::unique_ptr<ChildProcess>(new ChildProcess(pid));
}

ChildProcess::~ChildProcess() {
    if (ended())
        return;
    ::kill(pid_, SIGTERM);
    const auto until = std::chrono::steady_clock::now() + kStopGrace;
    while (!ended() && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    if (ended())
        return;
    ::kill(pid_, SIGKILL);
    int status = 0;
    while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
    }
}

bool ChildProcess::ended() {
    if (ended_)
        return true;
    int status = 0;
    const pid_t reaped = ::waitpid(pid_, &status, WNOHANG);
    if (reaped == 0 || (reaped < 0 && errno == EINTR))
        return false;
    // Reaped elsewhere (ECHILD) it has ended all the same, how is not known.
    ended_ = true;
    exitCode_ = reaped == pid_ ? codeOf(status) : 1;
    return true;
}

}  // namespace platform
