#pragma once

#include <httplib.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "server/support/ChildProcess.h"

namespace quelvane {

// A real quelvane-world on a free port of 127.0.0.1, started with the given options (the store's,
// --workers, --rate ...), its output kept in folder.
class WorldProcess {
  public:
    WorldProcess(const std::string& program, const std::vector<std::string>& options,
                 const std::filesystem::path& folder);

    // Whether it said where it listens; its errors otherwise.
    bool ready() const { return port_ > 0; }
    int port() const { return port_; }
    pid_t pid() const { return process_->pid(); }
    std::string log() const { return process_->errors(); }

    // A client of its own for each thread: read timeouts above any answer's, so that a slow
    // answer shows as itself and never as a dropped connection.
    std::unique_ptr<httplib::Client> client() const;

    // SIGTERM, then SIGKILL if it has not ended in time; its exit code when it exited.
    std::optional<int> stop();
    // kill -9 of the server alone, as a crash ends it; the workers it leaves are killed with the
    // object.
    void kill() { process_->kill(); }
    // Its worker children in the middle of a verification.
    std::vector<pid_t> verifying() const;

  private:
    std::unique_ptr<ChildProcess> process_;
    int port_ = 0;
};

}  // namespace quelvane
