#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "server/store/Store.h"

namespace quelvane::server {

// A rules version as the API writes it: 16 lowercase hex digits; and read back, none for text
// that is not exactly that.
std::string rulesHex(uint64_t rules);
std::optional<uint64_t> parseRulesHex(const std::string& text);

// The bodies of the API's answers, as JSON text.
std::string errorJson(const std::string& reason);
// A replay of other rules than this server's: the reason, and the rules it verifies.
std::string otherRulesJson(const std::string& reason, uint64_t rules);
std::string runJson(const RunInfo& run);
std::string acceptedJson(int64_t id, const std::string& secret);
std::string tableJson(uint64_t rules, const std::vector<TableRow>& rows);

}  // namespace quelvane::server
