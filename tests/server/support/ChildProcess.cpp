#include "server/support/ChildProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <thread>

namespace quelvane {

namespace {

std::string readAll(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// In the child, between fork and exec: only async-signal-safe calls.
[[noreturn]] void becomeProgram(const std::vector<char*>& argv, const char* folder, const char* out,
                                const char* err) {
    ::setpgid(0, 0);
    const int outFd = ::open(out, O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int errFd = ::open(err, O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int nullFd = ::open("/dev/null", O_RDONLY);
    if (outFd < 0 || errFd < 0 || nullFd < 0 || ::chdir(folder) != 0)
        ::_exit(126);
    ::dup2(nullFd, 0);
    ::dup2(outFd, 1);
    ::dup2(errFd, 2);
    ::execv(argv[0], argv.data());
    ::_exit(127);
}

}  // namespace

ChildProcess::ChildProcess(const std::vector<std::string>& args,
                           const std::filesystem::path& folder, const std::string& logName)
    : out_(folder / (logName + ".out")), err_(folder / (logName + ".err")) {
    std::vector<char*> argv;
    argv.reserve(args.size() + 1);
    for (const std::string& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    const std::string where = folder.string(), out = out_.string(), err = err_.string();
    pid_ = ::fork();
    if (pid_ == 0)
        becomeProgram(argv, where.c_str(), out.c_str(), err.c_str());
    // Set from both sides, so that a kill of the group right after the fork reaches the child.
    if (pid_ > 0)
        ::setpgid(pid_, pid_);
}

ChildProcess::~ChildProcess() {
    if (pid_ <= 0)
        return;
    if (!status_)
        kill();
    killGroup();
}

std::optional<int> ChildProcess::wait(std::chrono::milliseconds bound) {
    const auto until = std::chrono::steady_clock::now() + bound;
    while (running()) {
        int status = 0;
        const pid_t done = ::waitpid(pid_, &status, WNOHANG);
        if (done == pid_ || done < 0) {
            status_ = done == pid_ ? status : -1;
            break;
        }
        if (std::chrono::steady_clock::now() >= until)
            return std::nullopt;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (!status_ || !WIFEXITED(*status_))
        return std::nullopt;
    return WEXITSTATUS(*status_);
}

std::optional<int> ChildProcess::stop(std::chrono::milliseconds grace) {
    if (running())
        ::kill(pid_, SIGTERM);
    const std::optional<int> code = wait(grace);
    if (running())
        kill();
    return code;
}

void ChildProcess::kill() {
    if (!running())
        return;
    ::kill(pid_, SIGKILL);
    int status = 0;
    ::waitpid(pid_, &status, 0);
    status_ = status;
}

void ChildProcess::killGroup() {
    if (pid_ > 0)
        ::kill(-pid_, SIGKILL);
}

std::string ChildProcess::output() const {
    return readAll(out_);
}
std::string ChildProcess::errors() const {
    return readAll(err_);
}

std::optional<int> runProgram(const std::vector<std::string>& args,
                              const std::filesystem::path& folder, std::chrono::milliseconds bound,
                              std::string* output) {
    const std::string logName = "run-" + std::to_string(::getpid());
    std::optional<int> code;
    {
        ChildProcess program(args, folder, logName);
        code = program.wait(bound);
        if (output)
            *output = program.output() + program.errors();
    }
    std::filesystem::remove(folder / (logName + ".out"));
    std::filesystem::remove(folder / (logName + ".err"));
    return code;
}

std::vector<pid_t> childrenRunning(pid_t parent, const std::string& word) {
    std::vector<pid_t> found;
    for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
        const std::string name = entry.path().filename().string();
        if (name.find_first_not_of("0123456789") != std::string::npos)
            continue;
        // The parent is the fourth field of stat, after the command in parentheses.
        const std::string stat = readAll(entry.path() / "stat");
        const size_t close = stat.rfind(')');
        std::istringstream fields(close == std::string::npos ? "" : stat.substr(close + 1));
        std::string state;
        pid_t ppid = 0;
        fields >> state >> ppid;
        std::string command = readAll(entry.path() / "cmdline");
        if (ppid == parent && command.find(word) != std::string::npos)
            found.push_back(std::stoi(name));
    }
    return found;
}

}  // namespace quelvane
