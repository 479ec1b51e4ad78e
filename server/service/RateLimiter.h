#pragma once

#include <chrono>
#include <cstddef>
#include <list>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>

namespace quelvane::server {

// Submissions a minute from one address: a bucket of perMinute tokens per address, refilled
// evenly over a minute, in memory only. An address whose bucket has filled again is forgotten (a
// new one starts full, so nothing changes for it), and past maxAddresses the least recently seen
// is forgotten too, so a flood from many addresses takes bounded room. Safe from any thread.
class RateLimiter {
  public:
    using Clock = std::chrono::steady_clock;

    explicit RateLimiter(int perMinute, size_t maxAddresses = 100000);

    // Takes a token for address; none when it had one, else the whole seconds until it has.
    std::optional<int> take(const std::string& address, Clock::time_point now);
    size_t addresses() const;

  private:
    struct Bucket {
        double tokens;
        Clock::time_point updated;
        std::list<std::string>::iterator recent;
    };
    void refill(Bucket& bucket, Clock::time_point now) const;
    void forgetIdle(Clock::time_point now);

    const double capacity_;
    const double perSecond_;
    const size_t maxAddresses_;
    mutable std::mutex mutex_;
    std::unordered_map<std::string, Bucket> buckets_;
    std::list<std::string> recent_;  // the most recently seen first
};

}  // namespace quelvane::server
