#include <gtest/gtest.h>

#include "server/service/ClientAddress.h"
#include "server/service/RateLimiter.h"

namespace {

using quelvane::server::countedAddress;
using quelvane::server::RateLimiter;
using namespace std::chrono_literals;

TEST(RateLimiter, AnAddressHasItsBurstThenATokenAsEachRefills) {
    RateLimiter limiter(6);  // a token every 10 s
    const auto start = RateLimiter::Clock::time_point{} + 1h;
    for (int i = 0; i < 6; ++i)
        EXPECT_FALSE(limiter.take("a", start)) << i;
    const auto wait = limiter.take("a", start);
    ASSERT_TRUE(wait);
    EXPECT_EQ(*wait, 10);
    EXPECT_FALSE(limiter.take("b", start)) << "another address counts on its own";
    EXPECT_EQ(limiter.take("a", start + 4s), 6) << "a refused request takes nothing";
    EXPECT_FALSE(limiter.take("a", start + 10s));
    EXPECT_TRUE(limiter.take("a", start + 11s));
    // A long pause refills the bucket to its size, no further.
    for (int i = 0; i < 6; ++i)
        EXPECT_FALSE(limiter.take("a", start + 1h)) << i;
    EXPECT_TRUE(limiter.take("a", start + 1h));
}

TEST(RateLimiter, ForgetsIdleAddressesAndStaysWithinItsBound) {
    RateLimiter limiter(2, 100);
    const auto start = RateLimiter::Clock::time_point{} + 1h;
    for (int i = 0; i < 50; ++i)
        limiter.take("idle" + std::to_string(i), start);
    limiter.take("busy", start);
    limiter.take("busy", start);
    EXPECT_EQ(limiter.addresses(), 51u);
    // A minute on, the idle ones have full buckets again and are forgotten; the busy one is kept,
    // still short of its tokens.
    EXPECT_FALSE(limiter.take("busy", start + 59s));
    EXPECT_TRUE(limiter.take("busy", start + 59s));
    EXPECT_EQ(limiter.addresses(), 1u);
    // A flood from many addresses at once keeps no more than the bound.
    for (int i = 0; i < 1000; ++i)
        limiter.take("flood" + std::to_string(i), start + 60s);
    EXPECT_LE(limiter.addresses(), 100u);
}

TEST(ClientAddress, CountsTheProxysLastForwardedEntryOnlyFromTheTrustedProxy) {
    EXPECT_EQ(countedAddress("10.0.0.1", "1.2.3.4, 5.6.7.8", "10.0.0.1"), "5.6.7.8");
    EXPECT_EQ(countedAddress("10.0.0.2", "5.6.7.8", "10.0.0.1"), "10.0.0.2");
    EXPECT_EQ(countedAddress("10.0.0.1", "", "10.0.0.1"), "10.0.0.1");
    EXPECT_EQ(countedAddress("10.0.0.1", "5.6.7.8", ""), "10.0.0.1");
    EXPECT_EQ(countedAddress("::ffff:10.0.0.1", " 9.9.9.9 ", "10.0.0.1"), "9.9.9.9");
    // One host's /64 is one address; the proxy itself is trusted by its whole address alone.
    EXPECT_EQ(countedAddress("2001:db8:1:2:aaaa::1", "", ""),
              countedAddress("2001:db8:1:2:bbbb::7", "", ""));
    EXPECT_NE(countedAddress("2001:db8:1:2::1", "", ""), countedAddress("2001:db8:1:3::1", "", ""));
    EXPECT_EQ(countedAddress("2001:db8::2", "7.7.7.7", "2001:db8::1"), "2001:db8::/64");
}

}  // namespace
