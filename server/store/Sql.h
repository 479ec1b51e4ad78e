#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <variant>
#include <vector>

namespace quelvane::server {

using Bytes = std::vector<uint8_t>;

// A statement's parameter: $1 is the first.
using SqlValue = std::variant<int64_t, double, std::string, Bytes>;
using SqlParams = std::vector<SqlValue>;

// What a statement answered, each cell as text (a blob's bytes as they are), NULL as none.
class SqlRows {
  public:
    using Row = std::vector<std::optional<std::string>>;

    void add(Row row) { rows_.push_back(std::move(row)); }
    bool empty() const { return rows_.empty(); }
    size_t size() const { return rows_.size(); }

    bool isNull(size_t row, size_t column) const { return !rows_.at(row).at(column).has_value(); }
    // NULL reads as 0 and as empty.
    int64_t integer(size_t row, size_t column) const;
    double real(size_t row, size_t column) const;
    std::string text(size_t row, size_t column) const;
    Bytes bytes(size_t row, size_t column) const;

  private:
    std::vector<Row> rows_;
};

// Two transactions wanted the same row at once (a unique key, a serialization failure): the
// transaction that lost is run again, and then sees what the other one wrote.
struct SqlConflict : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// One connection, used by one thread at a time, running one transaction at a time. Any failure but
// a conflict throws StoreUnavailable, and the connection is not used again.
class SqlConnection {
  public:
    virtual ~SqlConnection() = default;
    // writes: the transaction will write, so it takes the database's write lock at once where
    // there is one, rather than failing to upgrade a read lock later.
    virtual void begin(bool writes) = 0;
    virtual SqlRows exec(const std::string& sql, const SqlParams& params = {}) = 0;
    virtual void commit() = 0;
    // Ends a transaction that failed; never throws.
    virtual void rollback() noexcept = 0;
};

}  // namespace quelvane::server
