#include "server/service/ApiJson.h"

#include <cstdio>
#include <nlohmann/json.hpp>

namespace quelvane::server {

namespace {

using nlohmann::json;

// A reason with a byte that is no UTF-8 still makes an answer.
std::string text(const json& value) {
    return value.dump(-1, ' ', false, json::error_handler_t::replace);
}

// The game's names are Latin-1, as its name prompt types them; JSON's text is UTF-8.
std::string utf8(const std::string& latin1) {
    std::string out;
    out.reserve(latin1.size());
    for (const char c : latin1) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            out += c;
        } else {
            out += static_cast<char>(0xc0 | byte >> 6);
            out += static_cast<char>(0x80 | (byte & 0x3f));
        }
    }
    return out;
}

}  // namespace

std::string rulesHex(uint64_t rules) {
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(rules));
    return hex;
}

std::optional<uint64_t> parseRulesHex(const std::string& text) {
    if (text.size() != 16)
        return std::nullopt;
    uint64_t rules = 0;
    for (const char c : text) {
        const bool digit = c >= '0' && c <= '9';
        if (!digit && !(c >= 'a' && c <= 'f'))
            return std::nullopt;
        rules = rules << 4 | static_cast<uint64_t>(digit ? c - '0' : c - 'a' + 10);
    }
    return rules;
}

std::string errorJson(const std::string& reason) {
    return text(json{{"error", reason}});
}

std::string otherRulesJson(const std::string& reason, uint64_t rules) {
    return text(json{{"error", reason}, {"rules", rulesHex(rules)}});
}

std::string runJson(const RunInfo& run) {
    json body = {{"id", run.id},
                 {"state", stateName(run.state)},
                 {"name", utf8(run.name)},
                 {"score", run.score},
                 {"length_ms", run.lengthMs},
                 {"played_at", run.playedAt},
                 {"rules", rulesHex(run.rules)}};
    if (run.state == RunState::Verified && run.place)
        body["place"] = *run.place;
    if (run.state == RunState::Refused)
        body["reason"] = utf8(run.reason);  // it may quote the name
    if (run.sameAs)
        body["same_as"] = *run.sameAs;
    return text(body);
}

std::string acceptedJson(int64_t id, const std::string& secret) {
    return text(json{{"id", id}, {"secret", secret}, {"state", "queued"}});
}

std::string tableJson(uint64_t rules, const std::vector<TableRow>& rows) {
    json list = json::array();
    for (const TableRow& row : rows) {
        list.push_back({{"place", row.place},
                        {"name", utf8(row.name)},
                        {"score", row.score},
                        {"played_at", row.playedAt},
                        {"length_ms", row.lengthMs},
                        {"id", row.id}});
    }
    return text(json{{"rules", rulesHex(rules)}, {"rows", list}});
}

}  // namespace quelvane::server
