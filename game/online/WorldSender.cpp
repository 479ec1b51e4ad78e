#include "game/online/WorldSender.h"

#include <algorithm>
#include <cstdio>

#include "game/replay/GameRecorder.h"
#include "game/replay/ReplayFile.h"
#include "platform/AtomicFile.h"
#include "platform/WholeFile.h"

namespace quelvane::online {

namespace {

// A file in the outbox larger than the server takes is no replay of ours.
constexpr std::uintmax_t kMostReplayBytes = 4u << 20;

std::string ordinal(int64_t n) {
    const int64_t tens = n % 100;
    const int64_t ones = n % 10;
    const char* suffix = (tens >= 11 && tens <= 13) || ones > 3 || ones == 0 ? "th"
                         : ones == 1                                         ? "st"
                         : ones == 2                                         ? "nd"
                                                                             : "rd";
    return std::to_string(n) + suffix;
}

// The page's line for what came of a withdrawal of run id.
std::string withdrawalLine(const Withdrawal& done, const std::string& id) {
    switch (done.fate) {
        case Withdrawal::Fate::Withdrawn:
            return "Run " + id + " is off the world table.";
        case Withdrawal::Fate::Gone:
            return "Run " + id + " was no longer on the world table.";
        case Withdrawal::Fate::Refused:
            return "The server kept run " + id + ": " + done.reason;
        case Withdrawal::Fate::Later:
            break;
    }
    return "Run " + id + " cannot be withdrawn now: " + done.reason;
}

}  // namespace

std::string statusLine(const WorldStatus& status) {
    switch (status.stage) {
        case WorldStatus::Stage::None:
            break;
        case WorldStatus::Stage::Sending:
            return "World: sending this game to the world table...";
        case WorldStatus::Stage::Kept:
            return "World: kept to send later (" + status.reason + ")";
        case WorldStatus::Stage::Checking:
            return "World: waiting for the server to check this game";
        case WorldStatus::Stage::Placed:
            return "World: this game is " + ordinal(status.place) + " on the world table";
        case WorldStatus::Stage::Refused:
            return "World: refused: " + status.reason;
    }
    return {};
}

WorldSender::WorldSender(WorldSettings settings, const std::filesystem::path& replayFolder,
                         SendTiming timing)
    : settings_(std::move(settings)),
      timing_(timing),
      sentFolder_(replayFolder / "sent"),
      outbox_(replayFolder / "outbox"),
      sendBackoff_(timing.firstRetry),
      pollBackoff_(timing.firstPoll),
      games_(
          gamesRecorded().subscribe([this](const Recording& recording, const GameResult& result) {
              send(recording, result.name.has_value());
          })),
      thread_([this] { run(); }) {}

WorldSender::~WorldSender() {
    games_.end();
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    cancel_ = true;
    wake_.notify_all();
    thread_.join();
}

void WorldSender::send(Recording recording, bool tookPlace) {
    if (!tookPlace)
        recording.header.name = settings_.name;
    {
        const std::lock_guard lock(mutex_);
        incoming_.push_back(std::move(recording));
        status_ = {WorldStatus::Stage::Sending, 0, ""};
    }
    wake_.notify_all();
}

WorldStatus WorldSender::status() const {
    const std::lock_guard lock(mutex_);
    return status_;
}

void WorldSender::askTable() {
    {
        const std::lock_guard lock(mutex_);
        tableAsked_ = true;
        table_.state = WorldTable::State::Waiting;
        table_.withdrawal.clear();
    }
    wake_.notify_all();
}

void WorldSender::withdraw(int64_t run) {
    {
        const std::lock_guard lock(mutex_);
        withdrawals_.push_back(run);
        table_.state = WorldTable::State::Waiting;
        table_.withdrawal = "Withdrawing run " + std::to_string(run) + "...";
    }
    wake_.notify_all();
}

WorldTable WorldSender::table() const {
    const std::lock_guard lock(mutex_);
    return table_;
}

void WorldSender::fetchTable(WorldClient& client) {
    int64_t best = 0;
    {
        const std::lock_guard lock(mutex_);
        best = table_.bestRun;
    }
    std::string error;
    std::optional<std::vector<TableRow>> rows = client.table(best, error);
    std::set<int64_t> own;
    std::error_code missing;
    if (rows) {
        // The player's own rows are those whose secrets are kept.
        for (const TableRow& row : *rows) {
            if (std::filesystem::exists(secretFile(row.id), missing))
                own.insert(row.id);
        }
    }
    const std::lock_guard lock(mutex_);
    table_.state = rows ? WorldTable::State::Shown : WorldTable::State::Unreachable;
    table_.rows = rows ? std::move(*rows) : std::vector<TableRow>{};
    table_.own = std::move(own);
    table_.reason = std::move(error);
}

void WorldSender::takeOff(WorldClient& client, int64_t run) {
    const std::string id = std::to_string(run);
    const platform::WholeFile read = platform::readWholeFile(secretFile(run), 256);
    std::string line;
    if (read.fault != platform::WholeFile::Fault::None) {
        line = "No withdrawal secret is kept for run " + id + ".";
    } else {
        std::string secret(read.bytes.begin(), read.bytes.end());
        secret.erase(secret.find_last_not_of("\r\n") + 1);
        const Withdrawal done = client.withdraw(run, secret);
        using Fate = Withdrawal::Fate;
        if (done.fate == Fate::Withdrawn || done.fate == Fate::Gone) {
            std::error_code error;
            std::filesystem::remove(secretFile(run), error);
        }
        line = withdrawalLine(done, id);
    }
    const std::lock_guard lock(mutex_);
    table_.withdrawal = std::move(line);
}

void WorldSender::publish(WorldStatus status) {
    const std::lock_guard lock(mutex_);
    // A game handed over since is the one the status speaks of.
    if (incoming_.empty())
        status_ = std::move(status);
}

void WorldSender::run() {
    WorldClient client(settings_.server, &cancel_);
    std::unique_lock lock(mutex_);
    nextSend_ = Clock::now();
    while (!stopping_) {
        // A game handed over goes to the outbox before anything waits on the network.
        if (!incoming_.empty()) {
            const Recording recording = std::move(incoming_.front());
            incoming_.pop_front();
            lock.unlock();
            takeIn(recording);
            lock.lock();
            continue;
        }
        if (!withdrawals_.empty()) {
            const int64_t run = withdrawals_.front();
            withdrawals_.pop_front();
            tableAsked_ = true;
            lock.unlock();
            takeOff(client, run);
            lock.lock();
            continue;
        }
        if (tableAsked_) {
            tableAsked_ = false;
            lock.unlock();
            fetchTable(client);
            lock.lock();
            continue;
        }
        const Clock::time_point now = Clock::now();
        const bool sendDue = waiting_ && now >= nextSend_;
        const bool pollDue = watched_ != 0 && now >= nextPoll_;
        if (sendDue || pollDue) {
            lock.unlock();
            if (sendDue)
                sendWaiting(client);
            if (pollDue)
                poll(client);
            lock.lock();
            continue;
        }
        Clock::time_point until = Clock::time_point::max();
        if (waiting_)
            until = nextSend_;
        if (watched_ != 0)
            until = std::min(until, nextPoll_);
        wake_.wait_until(lock, until);
    }
    keepLeftOver(lock);
}

void WorldSender::keepLeftOver(std::unique_lock<std::mutex>& lock) {
    // A game handed over as the run ends is kept, to be sent at the next start.
    while (!incoming_.empty()) {
        const Recording recording = std::move(incoming_.front());
        incoming_.pop_front();
        lock.unlock();
        std::string reason;
        if (outbox_.keep(encodeReplay(recording), reason).empty())
            std::fprintf(stderr, "quelvane: cannot keep this game to send it later: %s\n",
                         reason.c_str());
        lock.lock();
    }
}

void WorldSender::takeIn(const Recording& recording) {
    std::string reason;
    current_ = outbox_.keep(encodeReplay(recording), reason);
    watched_ = 0;
    if (current_.empty()) {
        std::fprintf(stderr, "quelvane: cannot keep this game to send it to the world table: %s\n",
                     reason.c_str());
        publish({WorldStatus::Stage::Refused, 0, "it could not be kept to send: " + reason});
        return;
    }
    waiting_ = true;
    nextSend_ = Clock::now();
}

void WorldSender::sendWaiting(WorldClient& client) {
    for (const std::filesystem::path& file : outbox_.waiting()) {
        if (cancel_)
            return;
        const platform::WholeFile read = platform::readWholeFile(file, kMostReplayBytes);
        // A file too large is no game the server takes; one that cannot be read now may be later.
        const Submission sent = read.fault == platform::WholeFile::Fault::None
                                    ? client.submit(read.bytes)
                                : read.fault == platform::WholeFile::Fault::TooLarge
                                    ? Submission{Submission::Fate::Refused, 0, "",
                                                 platform::describe(read, kMostReplayBytes), 0}
                                    : Submission{Submission::Fate::Later, 0, "",
                                                 platform::describe(read, kMostReplayBytes), 0};
        const bool last = file == current_;
        if (sent.fate == Submission::Fate::Later) {
            // The server's wish, within the longest wait of the sender's own.
            const std::chrono::milliseconds asked = std::min<std::chrono::milliseconds>(
                std::chrono::seconds(std::clamp<int64_t>(sent.retryAfter, 0, 86'400)),
                timing_.longestRetry);
            nextSend_ = Clock::now() + std::max(sendBackoff_, asked);
            sendBackoff_ = std::min(sendBackoff_ * 2, timing_.longestRetry);
            if (!current_.empty())
                publish({WorldStatus::Stage::Kept, 0, sent.reason});
            return;
        }
        // The secret is kept before the file goes: a resend is answered without one.
        if (sent.fate == Submission::Fate::Refused)
            std::fprintf(stderr, "quelvane: the world table refused %s: %s\n", file.c_str(),
                         sent.reason.c_str());
        else if (!sent.secret.empty())
            keepSecret(sent.id, sent.secret);
        Outbox::remove(file);
        if (!last)
            continue;
        current_.clear();
        if (sent.fate == Submission::Fate::Refused) {
            publish({WorldStatus::Stage::Refused, 0, sent.reason});
            continue;
        }
        publish({WorldStatus::Stage::Checking, 0, ""});
        watched_ = sent.id;
        pollBackoff_ = timing_.firstPoll;
        nextPoll_ = Clock::now();
    }
    waiting_ = false;
    sendBackoff_ = timing_.firstRetry;
}

void WorldSender::poll(WorldClient& client) {
    const Standing standing = client.standing(watched_);
    if (standing.state == "verified") {
        publish({WorldStatus::Stage::Placed, standing.place, ""});
        if (bestPlace_ == 0 || standing.place <= bestPlace_) {
            bestPlace_ = standing.place;
            const std::lock_guard lock(mutex_);
            table_.bestRun = watched_;
        }
        watched_ = 0;
    } else if (standing.state == "refused") {
        publish({WorldStatus::Stage::Refused, 0, standing.reason});
        watched_ = 0;
    } else if (standing.answered && standing.state.empty()) {
        publish({WorldStatus::Stage::Refused, 0, "the server no longer shows it"});
        watched_ = 0;
    } else {
        nextPoll_ = Clock::now() + pollBackoff_;
        pollBackoff_ = std::min(pollBackoff_ * 2, timing_.longestPoll);
    }
}

std::filesystem::path WorldSender::secretFile(int64_t run) const {
    return sentFolder_ / (std::to_string(run) + ".secret");
}

void WorldSender::keepSecret(int64_t id, const std::string& secret) const {
    std::error_code error;
    std::filesystem::create_directories(sentFolder_, error);
    const std::filesystem::path file = secretFile(id);
    std::string reason;
    if (!platform::replaceFileContents(file, secret + "\n", platform::InPlaceWrite::Never, &reason))
        std::fprintf(stderr, "quelvane: cannot keep the withdrawal secret of run %lld in %s: %s\n",
                     static_cast<long long>(id), file.c_str(), reason.c_str());
}

}  // namespace quelvane::online
