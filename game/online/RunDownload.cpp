#include "game/online/RunDownload.h"

#include <cctype>

#include "game/online/WorldClient.h"

namespace quelvane::online {

namespace {

struct RunAddress {
    std::string server;  // scheme and host
    int64_t id = 0;
};

std::optional<RunAddress> parseAddress(const std::string& text) {
    const size_t scheme = text.find("://");
    if (scheme == std::string::npos ||
        (text.compare(0, scheme, "http") != 0 && text.compare(0, scheme, "https") != 0))
        return std::nullopt;
    const size_t path = text.find('/', scheme + 3);
    if (path == std::string::npos || path == scheme + 3)
        return std::nullopt;
    // The last run of digits in the path, before any query.
    const std::string route = text.substr(path, text.find_first_of("?#", path) - path);
    size_t end = route.size();
    while (end > 0 && !std::isdigit(static_cast<unsigned char>(route[end - 1])))
        --end;
    size_t start = end;
    while (start > 0 && std::isdigit(static_cast<unsigned char>(route[start - 1])))
        --start;
    if (start == end || end - start > 15)
        return std::nullopt;
    const int64_t id = std::stoll(route.substr(start, end - start));
    if (id <= 0)
        return std::nullopt;
    return RunAddress{text.substr(0, path), id};
}

}  // namespace

bool isRunAddress(const std::string& text) {
    return text.starts_with("http://") || text.starts_with("https://");
}

std::optional<std::vector<uint8_t>> downloadRun(const std::string& address, std::string& error) {
    const std::optional<RunAddress> run = parseAddress(address);
    if (!run) {
        error = "not the address of a run on a world table (http://host/api/runs/ID/replay)";
        return std::nullopt;
    }
    WorldClient client(run->server);
    const Reply reply = client.get("/api/runs/" + std::to_string(run->id) + "/replay");
    if (reply.status == 200)
        return std::vector<uint8_t>(reply.body.begin(), reply.body.end());
    if (reply.status == 0)
        error = "the server cannot be reached: " + reply.error;
    else if (reply.status == 404)
        error = "the server has no run " + std::to_string(run->id);
    else
        error = "the server answered " + std::to_string(reply.status);
    return std::nullopt;
}

}  // namespace quelvane::online
