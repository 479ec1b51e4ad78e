#include "server/store/SqlStore.h"

#include <algorithm>
#include <map>

namespace quelvane::server {
namespace {

const char* const kUnfinishedTwice = "its verification did not finish twice";
// A run leased twice already is not leased a third time.
const int kAttempts = 2;
// Conflicts come from copies finished at once and from the same file sent at once: a few rounds
// settle them.
const int kConflictRounds = 8;

const char* const kRunColumns =
    "SELECT id, state, reason, name, coalesce(score, claimed_score), length_ms, played_at, rules,"
    " same_as, hidden FROM runs";
const char* const kTableRows =
    "SELECT id, name, score, played_at, length_ms FROM runs"
    " WHERE rules = $1 AND state = 'verified' AND hidden = 0 ORDER BY score DESC, id"
    " LIMIT $2 OFFSET $3";

// The version's 64 bits as the database's signed integer, and back.
int64_t storedRules(uint64_t rules) {
    return static_cast<int64_t>(rules);
}
uint64_t readRules(int64_t stored) {
    return static_cast<uint64_t>(stored);
}

RunState stateFrom(const std::string& text) {
    if (text == "verifying")
        return RunState::Verifying;
    if (text == "verified")
        return RunState::Verified;
    if (text == "refused")
        return RunState::Refused;
    return RunState::Queued;
}

// 1 + the verified, shown runs of the rules that score higher, or as high and came earlier.
int64_t placeOf(SqlConnection& db, uint64_t rules, int64_t score, int64_t id) {
    return db
        .exec(
            "SELECT 1 + count(*) FROM runs WHERE rules = $1 AND state = 'verified'"
            " AND hidden = 0 AND (score > $2 OR (score = $2 AND id < $3))",
            {storedRules(rules), score, id})
        .integer(0, 0);
}

std::optional<RunInfo> readRun(SqlConnection& db, int64_t id) {
    const auto rows = db.exec(std::string(kRunColumns) + " WHERE id = $1", {id});
    if (rows.empty())
        return std::nullopt;
    RunInfo info;
    info.id = rows.integer(0, 0);
    info.state = stateFrom(rows.text(0, 1));
    info.reason = rows.text(0, 2);
    info.name = rows.text(0, 3);
    info.score = rows.integer(0, 4);
    info.lengthMs = static_cast<uint32_t>(rows.integer(0, 5));
    info.playedAt = rows.integer(0, 6);
    info.rules = readRules(rows.integer(0, 7));
    if (!rows.isNull(0, 8))
        info.sameAs = rows.integer(0, 8);
    info.hidden = rows.integer(0, 9) != 0;
    if (info.state == RunState::Verified && !info.hidden)
        info.place = placeOf(db, info.rules, info.score, info.id);
    return info;
}

// Writes a verdict on a run still leased to worker; false when it is not.
std::string copyReason(int64_t first) {
    return "the same game as run " + std::to_string(first);
}

bool writeVerdict(SqlConnection& db, int64_t id, const std::string& worker, const Outcome& outcome,
                  int64_t sameAs) {
    const std::string lease =
        " lease_owner = NULL, lease_until_ms = NULL"
        " WHERE id = $1 AND state = 'verifying' AND lease_owner = $2 RETURNING id";
    if (outcome.verified && sameAs == 0)
        return !db.exec(
                      "UPDATE runs SET state = 'verified', reason = '', score = $3,"
                      " name = CASE WHEN $4 = '' THEN name ELSE $4 END, play_digest = $5,"
                      " seconds = $6," +
                          lease,
                      {id, worker, outcome.score, outcome.name, outcome.playDigest,
                       outcome.seconds})
                    .empty();
    const std::string reason = sameAs != 0 ? copyReason(sameAs) : outcome.reason;
    return !db.exec(
                  "UPDATE runs SET state = 'refused', reason = $3,"
                  " same_as = NULLIF($4, CAST(0 AS BIGINT)), play_digest = $5, seconds = $6," +
                      lease,
                  {id, worker, reason, sameAs, outcome.playDigest, outcome.seconds})
                .empty();
}

}  // namespace

template <typename Body>
auto SqlStore::transact(bool writes, Body&& body) {
    for (int round = 1;; ++round) {
        auto connection = begun(writes);
        try {
            auto result = body(*connection);
            connection->commit();
            return result;
        } catch (const SqlConflict& conflict) {
            connection->rollback();
            if (round == kConflictRounds)
                throw StoreUnavailable(conflict.what());
        } catch (const StoreUnavailable&) {
            connection.discard();
            throw;
        } catch (...) {
            connection->rollback();
            throw;
        }
    }
}

ConnectionPool::Loan SqlStore::begun(bool writes) {
    {
        auto connection = pool_.borrow();
        try {
            connection->begin(writes);
            return connection;
        } catch (const StoreUnavailable&) {
            connection.discard();
            if (!connection.kept())
                throw;
        }
    }
    // A kept connection that fails at once was most likely closed while idle, by a database that
    // restarted since: the call is not lost to it, a new one is opened.
    auto connection = pool_.borrow();
    try {
        connection->begin(writes);
    } catch (const StoreUnavailable&) {
        connection.discard();
        throw;
    }
    return connection;
}

SqlStore::SqlStore(SqlDialect dialect, ConnectionPool::Connect connect, size_t keepIdle)
    : dialect_(std::move(dialect)), pool_(std::move(connect), keepIdle) {
    transact(true, [&](SqlConnection& db) {
        for (const auto& statement : schemaStatements(dialect_))
            db.exec(statement);
        return true;
    });
}

std::optional<Submitted> SqlStore::submit(const NewRun& run, int64_t maxQueued) {
    return transact(true, [&](SqlConnection& db) -> std::optional<Submitted> {
        const auto kept = db.exec("SELECT id FROM runs WHERE file_digest = $1", {run.fileDigest});
        if (!kept.empty())
            return Submitted{kept.integer(0, 0), true};
        if (db.exec("SELECT count(*) FROM runs WHERE state = 'queued'").integer(0, 0) >= maxQueued)
            return std::nullopt;
        const auto made = db.exec(
            "INSERT INTO runs (file, file_digest, secret_digest, rules, name, claimed_score,"
            " length_ms, played_at, received_at) VALUES ($1, $2, $3, $4, $5, $6, $7, $8, $9)"
            " RETURNING id",
            {run.file, run.fileDigest, run.secretDigest, storedRules(run.rules), run.name,
             run.claimedScore, int64_t{run.lengthMs}, run.playedAt, run.receivedAt});
        return Submitted{made.integer(0, 0), false};
    });
}

std::optional<Claim> SqlStore::claim(const std::string& worker, uint64_t rules,
                                     std::chrono::seconds lease) {
    const int64_t leaseMs = std::chrono::duration_cast<std::chrono::milliseconds>(lease).count();
    return transact(true, [&](SqlConnection& db) -> std::optional<Claim> {
        const int64_t now = db.exec("SELECT " + dialect_.nowMs).integer(0, 0);
        db.exec(
            "UPDATE runs SET state = 'refused', reason = $2, lease_owner = NULL,"
            " lease_until_ms = NULL WHERE state = 'verifying' AND lease_until_ms <= $1"
            " AND attempts >= $3 AND rules = $4",
            {now, kUnfinishedTwice, int64_t{kAttempts}, storedRules(rules)});
        auto picked = db.exec(
            "SELECT id FROM runs WHERE state = 'verifying' AND lease_until_ms <= $1"
            " AND attempts < $2 AND rules = $3 ORDER BY id LIMIT 1" +
                dialect_.lockSkipping,
            {now, int64_t{kAttempts}, storedRules(rules)});
        if (picked.empty())
            picked = db.exec(
                "SELECT id FROM runs WHERE state = 'queued' AND rules = $1 ORDER BY id LIMIT 1" +
                    dialect_.lockSkipping,
                {storedRules(rules)});
        if (picked.empty())
            return std::nullopt;
        const int64_t id = picked.integer(0, 0);
        const auto claimed = db.exec(
            "UPDATE runs SET state = 'verifying', lease_owner = $2, lease_until_ms = $3,"
            " attempts = attempts + 1 WHERE id = $1 RETURNING file, rules, attempts",
            {id, worker, now + leaseMs});
        return Claim{id, claimed.bytes(0, 0), readRules(claimed.integer(0, 1)),
                     static_cast<int>(claimed.integer(0, 2))};
    });
}

bool SqlStore::renew(int64_t id, const std::string& worker, std::chrono::seconds lease) {
    const int64_t leaseMs = std::chrono::duration_cast<std::chrono::milliseconds>(lease).count();
    return transact(true, [&](SqlConnection& db) {
        const int64_t now = db.exec("SELECT " + dialect_.nowMs).integer(0, 0);
        return !db.exec(
                      "UPDATE runs SET lease_until_ms = $3"
                      " WHERE id = $1 AND state = 'verifying' AND lease_owner = $2 RETURNING id",
                      {id, worker, now + leaseMs})
                    .empty();
    });
}

bool SqlStore::finish(int64_t id, const std::string& worker, const Outcome& outcome) {
    return transact(true, [&](SqlConnection& db) {
        const auto leased = db.exec(
            "SELECT rules FROM runs WHERE id = $1 AND state = 'verifying' AND lease_owner = $2",
            {id, worker});
        if (leased.empty())
            return false;
        int64_t sameAs = 0;
        if (outcome.verified) {
            // Locked, so that a copy finished meanwhile is written before it is pointed here, or
            // after, at the run that stands.
            const auto entered = db.exec(
                "SELECT id FROM runs WHERE rules = $1 AND play_digest = $2 AND state = 'verified'" +
                    dialect_.lockRows,
                {leased.integer(0, 0), outcome.playDigest});
            // The game stands under the run sent first, whichever verification ends first: a
            // copy sent later (a queued run's file fetched, renamed and resent) never takes its
            // place, and gives it back, with the copies refused as its own, if it got there first.
            if (!entered.empty() && entered.integer(0, 0) < id)
                sameAs = entered.integer(0, 0);
            else if (!entered.empty())
                db.exec(
                    "UPDATE runs SET state = 'refused', reason = $2, same_as = $3"
                    " WHERE id = $1 OR same_as = $1",
                    {entered.integer(0, 0), copyReason(id), id});
        }
        return writeVerdict(db, id, worker, outcome, sameAs);
    });
}

void SqlStore::release(int64_t id, const std::string& worker, const std::string& reason) {
    transact(true, [&](SqlConnection& db) {
        db.exec(
            "UPDATE runs SET"
            " state = CASE WHEN attempts >= $3 THEN 'refused' ELSE 'queued' END,"
            " reason = CASE WHEN attempts >= $3 THEN $4 ELSE reason END,"
            " lease_owner = NULL, lease_until_ms = NULL"
            " WHERE id = $1 AND state = 'verifying' AND lease_owner = $2",
            {id, worker, int64_t{kAttempts}, reason.empty() ? kUnfinishedTwice : reason});
        return true;
    });
}

void SqlStore::giveBack(int64_t id, const std::string& worker) {
    transact(true, [&](SqlConnection& db) {
        db.exec(
            "UPDATE runs SET state = 'queued', attempts = attempts - 1,"
            " lease_owner = NULL, lease_until_ms = NULL"
            " WHERE id = $1 AND state = 'verifying' AND lease_owner = $2",
            {id, worker});
        return true;
    });
}

int64_t SqlStore::refuseOtherRules(uint64_t rules,
                                   const std::function<std::string(uint64_t)>& reason) {
    return transact(true, [&](SqlConnection& db) {
        const std::string unfinished = " AND state IN ('queued', 'verifying')";
        const auto versions = db.exec(
            "SELECT DISTINCT rules FROM runs WHERE rules <> $1" + unfinished, {storedRules(rules)});
        int64_t refused = 0;
        for (size_t i = 0; i < versions.size(); ++i) {
            const int64_t version = versions.integer(i, 0);
            refused += static_cast<int64_t>(
                db.exec("UPDATE runs SET state = 'refused', reason = $2, lease_owner = NULL,"
                        " lease_until_ms = NULL WHERE rules = $1" +
                            unfinished + " RETURNING id",
                        {version, reason(readRules(version))})
                    .size());
        }
        return refused;
    });
}

std::optional<RunInfo> SqlStore::run(int64_t id) {
    return transact(false, [&](SqlConnection& db) { return readRun(db, id); });
}

std::optional<std::vector<uint8_t>> SqlStore::replay(int64_t id) {
    return transact(false, [&](SqlConnection& db) -> std::optional<std::vector<uint8_t>> {
        const auto rows = db.exec("SELECT file FROM runs WHERE id = $1 AND hidden = 0", {id});
        if (rows.empty())
            return std::nullopt;
        return rows.bytes(0, 0);
    });
}

std::vector<TableRow> SqlStore::table(uint64_t rules, int top, std::optional<int64_t> around,
                                      int aroundRows) {
    return transact(false, [&](SqlConnection& db) {
        std::map<int64_t, TableRow> byPlace;
        const auto addPlaces = [&](int64_t first, int64_t count) {
            const auto rows = db.exec(kTableRows, {storedRules(rules), count, first - 1});
            for (size_t i = 0; i < rows.size(); ++i) {
                const int64_t place = first + static_cast<int64_t>(i);
                byPlace[place] = TableRow{place,
                                          rows.text(i, 1),
                                          rows.integer(i, 2),
                                          rows.integer(i, 3),
                                          static_cast<uint32_t>(rows.integer(i, 4)),
                                          rows.integer(i, 0)};
            }
        };
        if (top > 0)
            addPlaces(1, top);
        const auto centre = around ? readRun(db, *around) : std::nullopt;
        if (centre && centre->place && centre->rules == rules && aroundRows >= 0) {
            const int64_t first = std::max<int64_t>(1, *centre->place - aroundRows);
            addPlaces(first, *centre->place + aroundRows - first + 1);
        }
        std::vector<TableRow> rows;
        rows.reserve(byPlace.size());
        for (auto& [place, row] : byPlace)
            rows.push_back(std::move(row));
        return rows;
    });
}

bool SqlStore::withdraw(int64_t id, const std::string& secretDigest) {
    return transact(true, [&](SqlConnection& db) {
        return !db.exec("DELETE FROM runs WHERE id = $1 AND secret_digest = $2 RETURNING id",
                        {id, secretDigest})
                    .empty();
    });
}

bool SqlStore::hide(int64_t id) {
    return setHidden(id, true);
}

bool SqlStore::unhide(int64_t id) {
    return setHidden(id, false);
}

bool SqlStore::setHidden(int64_t id, bool hidden) {
    return transact(true, [&](SqlConnection& db) {
        return !db.exec("UPDATE runs SET hidden = $2 WHERE id = $1 RETURNING id",
                        {id, int64_t{hidden ? 1 : 0}})
                    .empty();
    });
}

Counts SqlStore::counts() {
    return transact(false, [&](SqlConnection& db) {
        const auto rows = db.exec(
            "SELECT coalesce(sum(CASE WHEN state = 'queued' THEN 1 ELSE 0 END), 0),"
            " coalesce(sum(CASE WHEN state = 'verifying' THEN 1 ELSE 0 END), 0),"
            " coalesce(sum(CASE WHEN state = 'verified' THEN 1 ELSE 0 END), 0),"
            " coalesce(sum(CASE WHEN state = 'refused' THEN 1 ELSE 0 END), 0),"
            " coalesce(sum(seconds), 0), count(seconds) FROM runs");
        return Counts{rows.integer(0, 0), rows.integer(0, 1), rows.integer(0, 2),
                      rows.integer(0, 3), rows.real(0, 4),    rows.integer(0, 5)};
    });
}

}  // namespace quelvane::server
