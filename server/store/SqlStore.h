#pragma once

#include "server/store/ConnectionPool.h"
#include "server/store/Schema.h"
#include "server/store/Store.h"

namespace quelvane::server {

// The store's rules written once, in SQL both databases run; a database brings its connections
// and its dialect.
class SqlStore : public Store {
  public:
    // Makes the schema where it is missing; throws StoreUnavailable when the database cannot.
    SqlStore(SqlDialect dialect, ConnectionPool::Connect connect, size_t keepIdle);

    std::optional<Submitted> submit(const NewRun& run, int64_t maxQueued) override;
    std::optional<Claim> claim(const std::string& worker, uint64_t rules,
                               std::chrono::seconds lease) override;
    bool renew(int64_t id, const std::string& worker, std::chrono::seconds lease) override;
    bool finish(int64_t id, const std::string& worker, const Outcome& outcome) override;
    void release(int64_t id, const std::string& worker, const std::string& reason) override;
    void giveBack(int64_t id, const std::string& worker) override;
    int64_t refuseOtherRules(uint64_t rules,
                             const std::function<std::string(uint64_t)>& reason) override;

    std::optional<RunInfo> run(int64_t id) override;
    std::optional<std::vector<uint8_t>> replay(int64_t id) override;
    std::vector<TableRow> table(uint64_t rules, int top, std::optional<int64_t> around,
                                int aroundRows) override;
    bool withdraw(int64_t id, const std::string& secretDigest) override;
    bool hide(int64_t id) override;
    bool unhide(int64_t id) override;
    Counts counts() override;

  private:
    // Runs body in one transaction, again when it lost a conflict to another one.
    template <typename Body>
    auto transact(bool writes, Body&& body);
    bool setHidden(int64_t id, bool hidden);
    // A connection with its transaction begun.
    ConnectionPool::Loan begun(bool writes);

    SqlDialect dialect_;
    ConnectionPool pool_;
};

}  // namespace quelvane::server
