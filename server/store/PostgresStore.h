#pragma once

#include <memory>
#include <string>

#include <pqxx/connection>
#include <pqxx/transaction>

#include "server/store/Sql.h"

namespace quelvane::server {

// One connection to PostgreSQL. Parameters travel as text, a blob in bytea's hex form.
class PostgresConnection : public SqlConnection {
  public:
    explicit PostgresConnection(const std::string& url);

    void begin(bool writes) override;
    SqlRows exec(const std::string& sql, const SqlParams& params = {}) override;
    void commit() override;
    void rollback() noexcept override;

  private:
    std::unique_ptr<pqxx::connection> connection_;
    std::unique_ptr<pqxx::work> work_;
};

}  // namespace quelvane::server
