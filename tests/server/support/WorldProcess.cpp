#include "server/support/WorldProcess.h"

#include <atomic>

namespace quelvane {

namespace {

// Bounds, not expectations: a sanitized build on a busy machine starts and stops slowly.
constexpr auto kStartBound = std::chrono::seconds(60);
constexpr auto kStopBound = std::chrono::seconds(60);

}  // namespace

WorldProcess::WorldProcess(const std::string& program, const std::vector<std::string>& options,
                           const std::filesystem::path& folder) {
    static std::atomic<int> started{0};
    std::vector<std::string> args = {program, "--listen", "127.0.0.1:0"};
    args.insert(args.end(), options.begin(), options.end());
    process_ = std::make_unique<ChildProcess>(args, folder, "world-" + std::to_string(++started));
    const std::string said = "listening on 127.0.0.1:";
    const auto until = std::chrono::steady_clock::now() + kStartBound;
    while (process_->running() && std::chrono::steady_clock::now() < until) {
        const std::string out = process_->output();
        const size_t at = out.find(said);
        if (at != std::string::npos && out.find('\n', at) != std::string::npos) {
            port_ = std::stoi(out.substr(at + said.size()));
            return;
        }
        process_->wait(std::chrono::milliseconds(20));
    }
}

std::unique_ptr<httplib::Client> WorldProcess::client() const {
    auto client = std::make_unique<httplib::Client>("127.0.0.1", port_);
    client->set_connection_timeout(std::chrono::seconds(10));
    client->set_read_timeout(std::chrono::seconds(60));
    client->set_write_timeout(std::chrono::seconds(60));
    return client;
}

std::optional<int> WorldProcess::stop() {
    return process_->stop(std::chrono::duration_cast<std::chrono::milliseconds>(kStopBound));
}

std::vector<pid_t> WorldProcess::verifying() const {
    return childrenRunning(process_->pid(), "--verify-one");
}

}  // namespace quelvane
