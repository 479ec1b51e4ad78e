#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "game/online/Outbox.h"
#include "game/online/WorldClient.h"
#include "game/online/WorldSettings.h"
#include "game/replay/Recording.h"
#include "platform/Observers.h"

namespace quelvane::online {

// Where the last game handed to the sender stands with the world table.
struct WorldStatus {
    enum class Stage { None, Sending, Kept, Checking, Placed, Refused };
    Stage stage = Stage::None;
    int64_t place = 0;   // Placed
    std::string reason;  // why Kept or Refused
};

// The world table as the page on F3 shows it: asked for, shown, or out of reach.
struct WorldTable {
    enum class State { Waiting, Shown, Unreachable };
    State state = State::Waiting;
    std::vector<TableRow> rows;
    std::string reason;      // Unreachable
    int64_t bestRun = 0;     // the player's best run of this session that reached the table
    std::set<int64_t> own;   // the rows this player sent, whose withdrawal secrets are kept
    std::string withdrawal;  // what came of the last withdrawal asked for, while one is told
};

// The line the high-score page shows for it; empty for None.
std::string statusLine(const WorldStatus& status);

// How long the sender waits before it tries again: sends that found no server or a busy one, and
// questions about a run the server has not checked yet, each doubling up to its longest.
struct SendTiming {
    std::chrono::milliseconds firstRetry{10'000};
    std::chrono::milliseconds longestRetry{600'000};
    std::chrono::milliseconds firstPoll{1'000};
    std::chrono::milliseconds longestPoll{30'000};
};

// Sends every game that ended at its high-score check to the world table, from a thread of its
// own: the game's thread only hands the recording over and reads the status, and never waits on
// the network or a file. Each game is first kept in the outbox (replays/outbox), so that a game
// the server cannot take now, or a run of the game that ends before it could, is sent again later;
// one refused for good is dropped, with its reason in the status. The withdrawal secret of each run
// taken is kept in replays/sent/ID.secret, and used when the player withdraws the run.
class WorldSender {
  public:
    WorldSender(WorldSettings settings, const std::filesystem::path& replayFolder,
                SendTiming timing = {});
    ~WorldSender();
    WorldSender(const WorldSender&) = delete;
    WorldSender& operator=(const WorldSender&) = delete;

    // Hands over a game that just ended; tookPlace is whether it entered the player's own table
    // under a typed name, else it goes by the name of world.ini.
    void send(Recording recording, bool tookPlace);

    WorldStatus status() const;

    // Asks for the world table again; table() says what came of it.
    void askTable();
    WorldTable table() const;

    // Withdraws one of the player's own runs with its kept secret, then asks for the table again;
    // the table's withdrawal line says what came of it. The secret goes once the run is off the
    // table.
    void withdraw(int64_t run);

    const std::string& server() const { return settings_.server; }

  private:
    using Clock = std::chrono::steady_clock;

    void run();
    void keepLeftOver(std::unique_lock<std::mutex>& lock);
    void takeIn(const Recording& recording);
    void sendWaiting(WorldClient& client);
    void poll(WorldClient& client);
    void fetchTable(WorldClient& client);
    void takeOff(WorldClient& client, int64_t run);
    std::filesystem::path secretFile(int64_t run) const;
    void keepSecret(int64_t id, const std::string& secret) const;
    void publish(WorldStatus status);

    const WorldSettings settings_;
    const SendTiming timing_;
    const std::filesystem::path sentFolder_;
    Outbox outbox_;

    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<Recording> incoming_;
    bool stopping_ = false;
    WorldStatus status_;
    WorldTable table_;
    bool tableAsked_ = false;
    std::deque<int64_t> withdrawals_;
    std::atomic<bool> cancel_{false};

    // The worker's alone.
    std::filesystem::path current_;  // the last game's file in the outbox, while it waits there
    int64_t watched_ = 0;            // the last game's run, until the server has checked it
    int64_t bestPlace_ = 0;          // of the best run of this session, when it was checked
    bool waiting_ = true;            // files may wait in the outbox
    Clock::time_point nextSend_;
    Clock::time_point nextPoll_;
    std::chrono::milliseconds sendBackoff_;
    std::chrono::milliseconds pollBackoff_;

    platform::Subscription games_;
    std::thread thread_;  // last: it starts once the rest is made
};

}  // namespace quelvane::online
