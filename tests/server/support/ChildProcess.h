#pragma once

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace quelvane {

// A program run as a child of the test, in a process group of its own so that nothing it starts
// outlives the test: its standard output and errors go to files, read back whenever wanted, so
// that it never blocks on a pipe nobody reads.
class ChildProcess {
  public:
    // args[0] is the program's path. It runs in folder, where its output files go too, named
    // after logName.
    ChildProcess(const std::vector<std::string>& args, const std::filesystem::path& folder,
                 const std::string& logName);
    // Kills whatever of its group still runs.
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    pid_t pid() const { return pid_; }
    bool running() const { return pid_ > 0 && !status_; }
    // Its exit code once it has ended, within bound; none when it is still running or ended by
    // a signal.
    std::optional<int> wait(std::chrono::milliseconds bound);
    // SIGTERM, then SIGKILL if it has not ended within grace; its exit code when it exited.
    std::optional<int> stop(std::chrono::milliseconds grace);
    // SIGKILL to it alone, as a crash would end it; its children are left as that leaves them.
    void kill();
    // SIGKILL to every process left in its group.
    void killGroup();

    std::string output() const;
    std::string errors() const;

  private:
    pid_t pid_ = -1;
    std::optional<int> status_;  // as waitpid gave it
    std::filesystem::path out_, err_;
};

// Runs a program in folder to its end within bound (killed past it); its exit code, none when it
// did not exit by itself. Its standard output and errors in output when given.
std::optional<int> runProgram(const std::vector<std::string>& args,
                              const std::filesystem::path& folder, std::chrono::milliseconds bound,
                              std::string* output = nullptr);

// The processes whose parent is parent and whose command line holds word.
std::vector<pid_t> childrenRunning(pid_t parent, const std::string& word);

}  // namespace quelvane
