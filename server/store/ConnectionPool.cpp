#include "server/store/ConnectionPool.h"

namespace quelvane::server {

ConnectionPool::Loan::~Loan() {
    if (connection_)
        pool_->giveBack(std::move(connection_));
}

void ConnectionPool::Loan::discard() {
    connection_.reset();
    std::lock_guard lock(pool_->mutex_);
    pool_->idle_.clear();
}

ConnectionPool::Loan ConnectionPool::borrow() {
    {
        std::lock_guard lock(mutex_);
        if (!idle_.empty()) {
            auto connection = std::move(idle_.back());
            idle_.pop_back();
            return Loan(*this, std::move(connection), true);
        }
    }
    // Opened outside the lock: a database that is slow to answer holds up only this caller.
    return Loan(*this, connect_(), false);
}

void ConnectionPool::giveBack(std::unique_ptr<SqlConnection> connection) {
    std::lock_guard lock(mutex_);
    if (idle_.size() < keep_)
        idle_.push_back(std::move(connection));
}

}  // namespace quelvane::server
