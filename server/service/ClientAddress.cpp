#include "server/service/ClientAddress.h"

#include <arpa/inet.h>

#include <algorithm>
#include <cstdio>

namespace quelvane::server {

namespace {

std::string trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// The address in one spelling (an IPv4 address mapped into IPv6 as itself), or its /64 when
// prefixOnly; text that is no address as it is.
std::string normalised(const std::string& address, bool prefixOnly) {
    in6_addr v6{};
    if (inet_pton(AF_INET6, address.c_str(), &v6) != 1)
        return address;
    const unsigned char* b = v6.s6_addr;
    static const unsigned char mapped[12] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xff, 0xff};
    char text[INET6_ADDRSTRLEN + 4];
    if (std::equal(mapped, mapped + 12, b)) {
        std::snprintf(text, sizeof text, "%u.%u.%u.%u", b[12], b[13], b[14], b[15]);
        return text;
    }
    if (prefixOnly)
        std::fill(v6.s6_addr + 8, v6.s6_addr + 16, 0);
    inet_ntop(AF_INET6, &v6, text, sizeof text);
    return prefixOnly ? std::string(text) + "/64" : text;
}

}  // namespace

std::string countedAddress(const std::string& peer, const std::string& forwardedFor,
                           const std::string& trustedProxy) {
    std::string address = peer;
    if (!trustedProxy.empty() && normalised(peer, false) == normalised(trustedProxy, false)) {
        const auto comma = forwardedFor.rfind(',');
        const std::string last =
            trimmed(comma == std::string::npos ? forwardedFor : forwardedFor.substr(comma + 1));
        if (!last.empty())
            address = last;
    }
    return normalised(address, true);
}

}  // namespace quelvane::server
