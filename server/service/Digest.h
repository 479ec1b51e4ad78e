#pragma once

#include <cstddef>
#include <string>

namespace quelvane::server {

// SHA-256 of size bytes at data, in lowercase hex, through OpenSSL's libcrypto.
std::string sha256Hex(const void* data, size_t size);

// count bytes from OpenSSL's generator, in lowercase hex; throws when it has none to give.
std::string randomHex(size_t count);

}  // namespace quelvane::server
