#pragma once

#include <mutex>
#include <string>
#include <unordered_map>

#include "server/store/Sql.h"

struct sqlite3;
struct sqlite3_stmt;

namespace quelvane::server {

// One connection to the SQLite file, its statements prepared once and kept.
class SqliteConnection : public SqlConnection {
  public:
    explicit SqliteConnection(const std::string& path);
    ~SqliteConnection() override;
    SqliteConnection(const SqliteConnection&) = delete;
    SqliteConnection& operator=(const SqliteConnection&) = delete;

    void begin(bool writes) override;
    SqlRows exec(const std::string& sql, const SqlParams& params = {}) override;
    void commit() override;
    void rollback() noexcept override;

  private:
    sqlite3_stmt* prepared(const std::string& sql);
    [[noreturn]] void fail(int code) const;

    sqlite3* db_ = nullptr;
    std::unordered_map<std::string, sqlite3_stmt*> statements_;
    std::unique_lock<std::mutex> writing_;  // held from a writer's begin to its end
};

}  // namespace quelvane::server
