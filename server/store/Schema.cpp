#include "server/store/Schema.h"

namespace quelvane::server {

std::vector<std::string> schemaStatements(const SqlDialect& dialect) {
    std::vector<std::string> statements;
    if (!dialect.schemaLock.empty())
        statements.push_back(dialect.schemaLock);
    // Times are seconds since 1970 but for the lease's, in milliseconds. rules holds the version's
    // 64 bits as a signed integer. score is the verified one, NULL until then.
    statements.push_back(
        "CREATE TABLE IF NOT EXISTS runs ("
        " id " +
        dialect.idColumn +
        ","
        " file " +
        dialect.blobType +
        " NOT NULL,"
        " file_digest TEXT NOT NULL UNIQUE,"
        " secret_digest TEXT NOT NULL,"
        " rules BIGINT NOT NULL,"
        " name TEXT NOT NULL,"
        " claimed_score BIGINT NOT NULL,"
        " score BIGINT,"
        " length_ms BIGINT NOT NULL,"
        " played_at BIGINT NOT NULL,"
        " received_at BIGINT NOT NULL,"
        " state TEXT NOT NULL DEFAULT 'queued',"
        " reason TEXT NOT NULL DEFAULT '',"
        " lease_owner TEXT,"
        " lease_until_ms BIGINT,"
        " attempts INTEGER NOT NULL DEFAULT 0,"
        " play_digest TEXT,"
        " same_as BIGINT,"
        " hidden INTEGER NOT NULL DEFAULT 0,"
        " seconds DOUBLE PRECISION)");
    // One verified run per game and rules: two workers finishing copies at once cannot both enter.
    statements.push_back(
        "CREATE UNIQUE INDEX IF NOT EXISTS runs_one_per_game ON runs (rules, play_digest)"
        " WHERE state = 'verified'");
    statements.push_back("CREATE INDEX IF NOT EXISTS runs_by_state ON runs (state, id)");
    statements.push_back(
        "CREATE INDEX IF NOT EXISTS runs_table ON runs (rules, score DESC, id)"
        " WHERE state = 'verified' AND hidden = 0");
    return statements;
}

}  // namespace quelvane::server
