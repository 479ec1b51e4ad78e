#pragma once

#include <string>
#include <vector>

namespace quelvane::server {

// Where the two databases' SQL differs; every statement is otherwise the same text on both.
struct SqlDialect {
    std::string idColumn;  // a run's id, never given twice, even after a run is withdrawn
    std::string blobType;
    // The database's clock in milliseconds since 1970: workers on several machines read one clock
    // for their leases.
    std::string nowMs;
    // Ends the selects that pick a row to write: claims made at once pass over each other's rows
    // rather than wait for them.
    std::string lockSkipping;
    // Ends a select of rows the transaction goes on to write, so that another one waits for them;
    // empty where a writer has the whole database to itself.
    std::string lockRows;
    // Runs before the schema's statements, so that stores opened at once on one database do not
    // make it twice; may be empty.
    std::string schemaLock;
};

// The statements that make the tables and indexes where they are missing.
std::vector<std::string> schemaStatements(const SqlDialect& dialect);

}  // namespace quelvane::server
