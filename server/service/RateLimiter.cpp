#include "server/service/RateLimiter.h"

#include <algorithm>
#include <cmath>

namespace quelvane::server {

RateLimiter::RateLimiter(int perMinute, size_t maxAddresses)
    : capacity_(perMinute), perSecond_(perMinute / 60.0), maxAddresses_(maxAddresses) {}

void RateLimiter::refill(Bucket& bucket, Clock::time_point now) const {
    const double elapsed = std::chrono::duration<double>(now - bucket.updated).count();
    if (elapsed > 0) {
        bucket.tokens = std::min(capacity_, bucket.tokens + elapsed * perSecond_);
        bucket.updated = now;
    }
}

void RateLimiter::forgetIdle(Clock::time_point now) {
    while (!recent_.empty()) {
        const auto oldest = buckets_.find(recent_.back());
        refill(oldest->second, now);
        if (oldest->second.tokens < capacity_ && buckets_.size() < maxAddresses_)
            return;
        buckets_.erase(oldest);
        recent_.pop_back();
    }
}

std::optional<int> RateLimiter::take(const std::string& address, Clock::time_point now) {
    std::lock_guard lock(mutex_);
    forgetIdle(now);
    auto found = buckets_.find(address);
    if (found == buckets_.end()) {
        recent_.push_front(address);
        found = buckets_.emplace(address, Bucket{capacity_, now, recent_.begin()}).first;
    } else {
        recent_.splice(recent_.begin(), recent_, found->second.recent);
    }
    Bucket& bucket = found->second;
    refill(bucket, now);
    if (bucket.tokens >= 1) {
        bucket.tokens -= 1;
        return std::nullopt;
    }
    return std::max(1, static_cast<int>(std::ceil((1 - bucket.tokens) / perSecond_)));
}

size_t RateLimiter::addresses() const {
    std::lock_guard lock(mutex_);
    return buckets_.size();
}

}  // namespace quelvane::server
