#include "server/support/WorldClient.h"

#include <sstream>
#include <thread>

namespace quelvane {

namespace {

Answer answerOf(const httplib::Result& result) {
    Answer answer;
    if (!result)
        return answer;
    answer.status = result->status;
    answer.body = nlohmann::json::parse(result->body, nullptr, false);
    // What is no JSON object reads as an empty one, so that a missing field fails as itself.
    if (!answer.body.is_object())
        answer.body = nlohmann::json::object();
    answer.retryAfter = result->get_header_value("Retry-After");
    return answer;
}

}  // namespace

Answer submitRun(httplib::Client& client, const std::vector<uint8_t>& file) {
    return answerOf(client.Post("/api/runs", reinterpret_cast<const char*>(file.data()),
                                file.size(), "application/octet-stream"));
}

Answer getJson(httplib::Client& client, const std::string& path) {
    return answerOf(client.Get(path.c_str()));
}

bool isSettled(const nlohmann::json& run) {
    const std::string state = run.value("state", "");
    return state == "verified" || state == "refused";
}

std::map<int64_t, nlohmann::json> settle(httplib::Client& client, const std::set<int64_t>& ids,
                                         std::chrono::seconds bound) {
    std::map<int64_t, nlohmann::json> last;
    std::set<int64_t> waiting = ids;
    const auto until = std::chrono::steady_clock::now() + bound;
    while (!waiting.empty() && std::chrono::steady_clock::now() < until) {
        for (auto id = waiting.begin(); id != waiting.end();) {
            const Answer answer = getJson(client, "/api/runs/" + std::to_string(*id));
            last[*id] = answer.body;
            id = answer.status == 200 && isSettled(answer.body) ? waiting.erase(id) : std::next(id);
        }
        if (!waiting.empty())
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return last;
}

std::multiset<int64_t> tableIds(httplib::Client& client, const std::string& rules) {
    const Answer answer =
        getJson(client, "/api/table?top=100" + (rules.empty() ? "" : "&rules=" + rules));
    std::multiset<int64_t> ids;
    if (answer.status == 200 && answer.body.contains("rows"))
        for (const auto& row : answer.body["rows"])
            ids.insert(row.value("id", int64_t{0}));
    return ids;
}

double metric(httplib::Client& client, const std::string& sample) {
    const auto answer = client.Get("/metrics");
    if (!answer || answer->status != 200)
        return -1;
    std::istringstream lines(answer->body);
    std::string line;
    while (std::getline(lines, line))
        if (line.starts_with(sample + " "))
            return std::stod(line.substr(sample.size() + 1));
    return -1;
}

}  // namespace quelvane
