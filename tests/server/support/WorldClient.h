#pragma once

#include <httplib.h>

#include <chrono>
#include <cstdint>
#include <map>
#include <nlohmann/json.hpp>
#include <set>
#include <string>
#include <vector>

namespace quelvane {

// An answer of the service: its status (0 when the request got none) and its JSON body (an empty
// object when the body is none or no JSON object).
struct Answer {
    int status = 0;
    nlohmann::json body = nlohmann::json::object();
    std::string retryAfter;  // the Retry-After header, when given
};

Answer submitRun(httplib::Client& client, const std::vector<uint8_t>& file);
Answer getJson(httplib::Client& client, const std::string& path);

bool isSettled(const nlohmann::json& run);  // verified or refused

// Asks after each run until every one is verified or refused, or bound has passed: the last
// answer about each, settled or not.
std::map<int64_t, nlohmann::json> settle(httplib::Client& client, const std::set<int64_t>& ids,
                                         std::chrono::seconds bound);

// The ids on a rules version's table (the server's own when rules is empty), as many times as
// each is there.
std::multiset<int64_t> tableIds(httplib::Client& client, const std::string& rules = "");

// A sample of /metrics by its name and labels; -1 when it is not there.
double metric(httplib::Client& client, const std::string& sample);

}  // namespace quelvane
