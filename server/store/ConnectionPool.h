#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "server/store/Sql.h"

namespace quelvane::server {

// Connections kept between calls, each lent to one thread at a time; a thread that finds none idle
// opens one of its own.
class ConnectionPool {
  public:
    using Connect = std::function<std::unique_ptr<SqlConnection>()>;

    // A connection on loan: it goes back to the pool when the loan ends, unless it was discarded.
    class Loan {
      public:
        Loan(ConnectionPool& pool, std::unique_ptr<SqlConnection> connection, bool kept)
            : pool_(&pool), connection_(std::move(connection)), kept_(kept) {}
        ~Loan();
        Loan(Loan&&) = default;
        Loan& operator=(Loan&&) = delete;

        SqlConnection& operator*() { return *connection_; }
        SqlConnection* operator->() { return connection_.get(); }
        // Whether the connection was kept from an earlier call rather than opened for this one.
        bool kept() const { return kept_; }
        // The connection failed, and so will the idle ones, most likely (the database went
        // away): the next call opens a new one.
        void discard();

      private:
        ConnectionPool* pool_;
        std::unique_ptr<SqlConnection> connection_;
        bool kept_;
    };

    ConnectionPool(Connect connect, size_t keepIdle)
        : connect_(std::move(connect)), keep_(keepIdle) {}

    Loan borrow();

  private:
    void giveBack(std::unique_ptr<SqlConnection> connection);

    Connect connect_;
    size_t keep_;
    std::mutex mutex_;
    std::vector<std::unique_ptr<SqlConnection>> idle_;
};

}  // namespace quelvane::server
