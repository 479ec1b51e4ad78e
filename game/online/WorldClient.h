#pragma once

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quelvane::online {

// An answer of the world table's server: its HTTP status (0 when none came, with the reason in
// error), its body and its Retry-After seconds.
struct Reply {
    long status = 0;
    std::string body;
    std::string error;
    long retryAfter = 0;
};

// What became of a replay sent: taken (new or sent before: its run's id, and the withdrawal secret
// of a new one), to be sent again later (no answer, or a server too busy), or refused for good.
struct Submission {
    enum class Fate { Taken, Later, Refused };
    Fate fate = Fate::Later;
    int64_t id = 0;
    std::string secret;
    std::string reason;  // why later or refused
    long retryAfter = 0;
};

// Where a run stands: answered false when the server could not be asked.
struct Standing {
    bool answered = false;
    std::string state;  // queued, verifying, verified or refused; empty for a run not kept
    int64_t place = 0;
    std::string reason;
};

// What came of a request to withdraw a run: taken off the table, gone already, refused (another
// secret), or not answered now; with the reason for the last two.
struct Withdrawal {
    enum class Fate { Withdrawn, Gone, Refused, Later };
    Fate fate = Fate::Later;
    std::string reason;
};

// A row of the world table.
struct TableRow {
    int64_t place = 0;
    std::string name;
    int64_t score = 0;
    int64_t id = 0;
};

// Calls the server's API over one connection kept open, each call bounded in time (to connect and
// in all) and in the size of its answer, https verified against the system's certificates. Every
// call can wait: a thread of its own makes them, never the game's. A set cancel flag ends a call
// under way.
class WorldClient {
  public:
    explicit WorldClient(std::string server, const std::atomic<bool>* cancel = nullptr);
    ~WorldClient();
    WorldClient(const WorldClient&) = delete;
    WorldClient& operator=(const WorldClient&) = delete;

    Submission submit(const std::vector<uint8_t>& replay);
    Standing standing(int64_t id);
    // The best ten and, when around is a run on the table, the rows near it; none with the reason
    // in error when the server cannot be asked.
    std::optional<std::vector<TableRow>> table(int64_t around, std::string& error);
    // Withdraws run id with its secret.
    Withdrawal withdraw(int64_t id, const std::string& secret);
    // A GET of a path on the server ("/api/table?top=10").
    Reply get(const std::string& path);

  private:
    // A POST of body when given, a DELETE with the run's secret when given, else a GET.
    Reply request(const std::string& path, const std::vector<uint8_t>* body,
                  const std::string* secret = nullptr);

    std::string server_;
    const std::atomic<bool>* cancel_;
    void* curl_;  // CURL*
};

}  // namespace quelvane::online
