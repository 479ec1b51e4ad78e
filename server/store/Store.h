#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace quelvane::server {

// The database cannot be reached or answered with an error: the service answers 503 and tries
// again at the next request, so it recovers by itself when the database returns.
struct StoreUnavailable : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// A run as the handler keeps it, before it is verified.
struct NewRun {
    std::vector<uint8_t> file;
    std::string fileDigest;  // SHA-256 of the file, hex: the same bytes sent again are one run
    uint64_t rules = 0;
    std::string name;  // the header's name, checked
    int64_t claimedScore = 0;
    uint32_t lengthMs = 0;
    int64_t playedAt = 0;      // the header's date, seconds since 1970
    int64_t receivedAt = 0;    // seconds since 1970
    std::string secretDigest;  // SHA-256 of the withdrawal secret, hex; the secret is never kept
};

enum class RunState { Queued, Verifying, Verified, Refused };
const char* stateName(RunState state);  // "queued", "verifying", "verified", "refused"

struct RunInfo {
    int64_t id = 0;
    RunState state = RunState::Queued;
    std::string reason;  // for a refused run
    std::string name;
    int64_t score = 0;  // the verified score; the claimed one until then
    uint32_t lengthMs = 0;
    int64_t playedAt = 0;
    uint64_t rules = 0;
    std::optional<int64_t> place;   // a verified run's place on its rules' table
    std::optional<int64_t> sameAs;  // the earlier run of the same game, for a copy
    bool hidden = false;
};

struct Submitted {
    int64_t id = 0;
    bool existing = false;  // the same file was kept already: its run answers
};

struct Claim {
    int64_t id = 0;
    std::vector<uint8_t> file;
    uint64_t rules = 0;
    int attempt = 1;  // 1 for the first claim; a run is refused after its second failed attempt
};

// What a worker found, written with the table row in one transaction.
struct Outcome {
    bool verified = false;
    std::string reason;  // for a refusal
    int64_t score = 0;
    std::string name;
    std::string playDigest;  // a verified run whose digest is on the table already is a copy
    double seconds = 0;      // the verification's time, for the metrics
};

struct TableRow {
    int64_t place = 0;
    std::string name;
    int64_t score = 0;
    int64_t playedAt = 0;
    uint32_t lengthMs = 0;
    int64_t id = 0;
};

struct Counts {
    int64_t queued = 0;
    int64_t verifying = 0;
    int64_t verified = 0;
    int64_t refused = 0;
    double verificationSeconds = 0;  // summed over every verdict
    int64_t verdicts = 0;
};

// The runs, their queue and the table, in one database; every method is one transaction and may be
// called from any thread. Throws StoreUnavailable when the database cannot be used.
class Store {
  public:
    virtual ~Store() = default;

    // Keeps and queues a run; the same file kept already answers with its run. None when the queue
    // holds maxQueued runs already.
    virtual std::optional<Submitted> submit(const NewRun& run, int64_t maxQueued) = 0;
    // The oldest queued run of rules, or one whose worker's lease ran out, leased to worker until
    // lease passes. A run claimed twice already without a verdict is refused instead, with that
    // reason. Runs of other rules are left to the servers that verify them.
    virtual std::optional<Claim> claim(const std::string& worker, uint64_t rules,
                                       std::chrono::seconds lease) = 0;
    // Leases the run to worker for lease again from now; false when it is no longer leased to
    // worker (it ran out and another claimed it, or it has its verdict).
    virtual bool renew(int64_t id, const std::string& worker, std::chrono::seconds lease) = 0;
    // Writes the verdict and, for a verified run that is no copy, its place on the table. False
    // when the run is no longer leased to worker (its lease ran out and another claimed it).
    virtual bool finish(int64_t id, const std::string& worker, const Outcome& outcome) = 0;
    // Gives the run back before its lease ends, when its verification could not be finished: the
    // attempt counts, and reason is the refusal's when it was the last one allowed.
    virtual void release(int64_t id, const std::string& worker, const std::string& reason) = 0;
    // Gives the run back with its attempt uncounted: the server stopped its verification or could
    // not start one, which says nothing of the file.
    virtual void giveBack(int64_t id, const std::string& worker) = 0;
    // Refuses every queued or leased run of another rules version, each with the reason its own
    // version gets; how many.
    virtual int64_t refuseOtherRules(uint64_t rules,
                                     const std::function<std::string(uint64_t)>& reason) = 0;

    virtual std::optional<RunInfo> run(int64_t id) = 0;  // none for an unknown or withdrawn run
    virtual std::optional<std::vector<uint8_t>> replay(int64_t id) = 0;  // none when hidden too
    // The best top rows of a rules version's table and, when around names a verified run, the rows
    // within aroundRows of its place.
    virtual std::vector<TableRow> table(uint64_t rules, int top, std::optional<int64_t> around,
                                        int aroundRows) = 0;
    // Removes a run whose secret matches; false otherwise.
    virtual bool withdraw(int64_t id, const std::string& secretDigest) = 0;
    // Hides a run from the table and its file from everyone; false for an unknown run.
    virtual bool hide(int64_t id) = 0;
    // Shows a hidden run again, in the place its score earns; false for an unknown run.
    virtual bool unhide(int64_t id) = 0;
    virtual Counts counts() = 0;
};

// One SQLite file in folder (WAL), made when missing.
std::unique_ptr<Store> openSqliteStore(const std::string& folder);
// A PostgreSQL database by its connection URL; the schema is made when missing.
std::unique_ptr<Store> openPostgresStore(const std::string& url);

}  // namespace quelvane::server
