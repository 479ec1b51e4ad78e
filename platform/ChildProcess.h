#pragma once

#include <sys/types.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace platform {

// A program started beside the game, running while the game goes on. The game's thread asks
// whether it has ended, without waiting; once it has, it is reaped and its exit code kept.
class ChildProcess {
  public:
    // Starts program with args (after its own name); null with the reason in error when it cannot
    // be started.
    static std::unique_ptr<ChildProcess> start(const std::filesystem::path& program,
                                               const std::vector<std::string>& args,
                                               std::string& error);
    // A child still running is stopped and reaped: it was started for this run of the game, and a
    // window of it left behind once the game has closed would have no game to return to.
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Whether it has ended; reaps it when it has.
    bool ended();
    // Its exit code once ended; 128 and the signal's number for one killed by a signal.
    int exitCode() const { return exitCode_; }
    pid_t id() const { return pid_; }

  private:
    explicit ChildProcess(pid_t pid) : pid_(pid) {}

    pid_t pid_;
    bool ended_ = false;
    int exitCode_ = 0;
};

}  // namespace platform
