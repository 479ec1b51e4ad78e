#pragma once

#include <string>

namespace quelvane::server {

// The address a request is counted under: the peer's own, or, for a request from the trusted
// proxy, the last entry of its X-Forwarded-For (the one the proxy itself added; the entries before
// it are the client's word). An IPv6 address counts by its /64, which one host usually holds whole;
// an IPv4 address mapped into IPv6 counts as itself.
std::string countedAddress(const std::string& peer, const std::string& forwardedFor,
                           const std::string& trustedProxy);

}  // namespace quelvane::server
