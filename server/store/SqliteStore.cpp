#include "server/store/SqliteStore.h"

#include <sqlite3.h>

#include <filesystem>
#include <mutex>

#include "server/store/SqlStore.h"

namespace quelvane::server {
namespace {

// Writers wait this long for one another before the call gives up as unavailable.
const int kBusyMs = 10000;
// Connections kept open between calls: about as many as the service's threads.
const size_t kKeepIdle = 16;

const SqlDialect kSqlite{
    "INTEGER PRIMARY KEY AUTOINCREMENT",
    "BLOB",
    "CAST((julianday('now') - 2440587.5) * 86400000.0 AS INTEGER)",
    "",
    "",
    "",
};

void bind(sqlite3_stmt* statement, int index, const SqlValue& value) {
    // A blob with no bytes still needs an address, or SQLite binds NULL.
    static const uint8_t kNoBytes = 0;
    if (const auto* integer = std::get_if<int64_t>(&value)) {
        sqlite3_bind_int64(statement, index, *integer);
    } else if (const auto* real = std::get_if<double>(&value)) {
        sqlite3_bind_double(statement, index, *real);
    } else if (const auto* text = std::get_if<std::string>(&value)) {
        sqlite3_bind_text64(statement, index, text->data(), text->size(), SQLITE_STATIC,
                            SQLITE_UTF8);
    } else {
        const auto& bytes = std::get<Bytes>(value);
        sqlite3_bind_blob64(statement, index, bytes.empty() ? &kNoBytes : bytes.data(),
                            bytes.size(), SQLITE_STATIC);
    }
}

SqlRows::Row readRow(sqlite3_stmt* statement) {
    SqlRows::Row row;
    for (int column = 0; column < sqlite3_column_count(statement); ++column) {
        if (sqlite3_column_type(statement, column) == SQLITE_NULL) {
            row.emplace_back();
            continue;
        }
        // The pointer comes before the size, as SQLite asks.
        const auto* data = static_cast<const char*>(
            sqlite3_column_type(statement, column) == SQLITE_BLOB
                ? sqlite3_column_blob(statement, column)
                : static_cast<const void*>(sqlite3_column_text(statement, column)));
        const auto size = static_cast<size_t>(sqlite3_column_bytes(statement, column));
        row.emplace_back(data ? std::string(data, size) : std::string());
    }
    return row;
}

}  // namespace

SqliteConnection::SqliteConnection(const std::string& path) {
    int code =
        sqlite3_open_v2(path.c_str(), &db_,
                        SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr);
    if (code == SQLITE_OK) {
        sqlite3_busy_timeout(db_, kBusyMs);
        // Readers never wait for the writer, and a commit is one append to the log.
        code = sqlite3_exec(db_, "PRAGMA journal_mode = WAL", nullptr, nullptr, nullptr);
    }
    if (code != SQLITE_OK) {
        const std::string message = db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(code);
        sqlite3_close(db_);
        throw StoreUnavailable(path + ": " + message);
    }
}

SqliteConnection::~SqliteConnection() {
    for (auto& [sql, statement] : statements_)
        sqlite3_finalize(statement);
    sqlite3_close(db_);
}

void SqliteConnection::begin(bool writes) {
    // The process's writers queue for one another here, in turn, rather than in SQLite's busy
    // handler, which sleeps and polls: twenty at once left the unlucky one waiting over a second.
    // SQLite's own lock still keeps other processes' writers apart.
    static std::mutex writers;
    if (writes)
        writing_ = std::unique_lock(writers);
    // A writer takes the write lock at once: two that began as readers could not both upgrade.
    try {
        exec(writes ? "BEGIN IMMEDIATE" : "BEGIN");
    } catch (...) {
        writing_ = {};
        throw;
    }
}

void SqliteConnection::commit() {
    exec("COMMIT");
    writing_ = {};
}

void SqliteConnection::rollback() noexcept {
    if (!sqlite3_get_autocommit(db_))
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    writing_ = {};
}

SqlRows SqliteConnection::exec(const std::string& sql, const SqlParams& params) {
    sqlite3_stmt* statement = prepared(sql);
    for (size_t i = 0; i < params.size(); ++i) {
        const std::string name = "$" + std::to_string(i + 1);
        if (const int index = sqlite3_bind_parameter_index(statement, name.c_str()))
            bind(statement, index, params[i]);
    }
    SqlRows rows;
    int code = SQLITE_ROW;
    while ((code = sqlite3_step(statement)) == SQLITE_ROW)
        rows.add(readRow(statement));
    // Reset at once: a statement left running would hold its read of the file.
    sqlite3_reset(statement);
    sqlite3_clear_bindings(statement);
    if (code != SQLITE_DONE)
        fail(code);
    return rows;
}

sqlite3_stmt* SqliteConnection::prepared(const std::string& sql) {
    if (auto kept = statements_.find(sql); kept != statements_.end())
        return kept->second;
    sqlite3_stmt* statement = nullptr;
    const int code =
        sqlite3_prepare_v2(db_, sql.c_str(), static_cast<int>(sql.size()), &statement, nullptr);
    if (code != SQLITE_OK)
        fail(code);
    statements_.emplace(sql, statement);
    return statement;
}

void SqliteConnection::fail(int code) const {
    const std::string message = sqlite3_errmsg(db_);
    if ((code & 0xff) == SQLITE_CONSTRAINT)
        throw SqlConflict(message);
    throw StoreUnavailable(message);
}

std::unique_ptr<Store> openSqliteStore(const std::string& folder) {
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error)
        throw StoreUnavailable(folder + ": " + error.message());
    const std::string path = (std::filesystem::path(folder) / "runs.sqlite3").string();
    return std::make_unique<SqlStore>(
        kSqlite, [path] { return std::make_unique<SqliteConnection>(path); }, kKeepIdle);
}

}  // namespace quelvane::server
