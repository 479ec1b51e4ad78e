#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace quelvane::online {

// The replays waiting to be sent to the world table, one file each in their folder
// (replays/outbox), so that a game played while the server cannot be reached is sent later, also
// after the game has been closed. Bounded: past the most files or bytes the oldest are dropped, and
// told on standard error.
class Outbox {
  public:
    explicit Outbox(std::filesystem::path folder, size_t mostFiles = 100,
                    std::uintmax_t mostBytes = 64u << 20);

    // Keeps a replay's bytes; its file, or an empty path with the reason.
    std::filesystem::path keep(const std::vector<uint8_t>& replay, std::string& reason);

    // The files waiting, oldest first.
    std::vector<std::filesystem::path> waiting() const;

    // The replay is done with: sent, or refused for good.
    static void remove(const std::filesystem::path& file);

  private:
    void prune() const;

    std::filesystem::path folder_;
    size_t mostFiles_;
    std::uintmax_t mostBytes_;
};

}  // namespace quelvane::online
