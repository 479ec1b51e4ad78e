#include "server/service/ServiceOptions.h"

#include <cerrno>
#include <cstdlib>
#include <map>

namespace quelvane::server {

const char* const kServiceUsage =
    "usage: quelvane-world --data DIR | --postgres URL [--listen HOST:PORT] [--workers N]\n"
    "                      [--rate N] [--trusted-proxy ADDR] [--queue-limit N]\n"
    "                      [--max-connections N] [--lease SECONDS] [--page DIR]\n"
    "       quelvane-world --worker --postgres URL | --data DIR [--workers N] [--lease SECONDS]\n"
    "       quelvane-world --data DIR | --postgres URL --hide ID | --unhide ID\n"
    "Keeps the world table: takes replays over HTTP, plays each again in a worker process, and\n"
    "puts the verified scores on the table. --listen defaults to 127.0.0.1:8080 (port 0 picks a\n"
    "free one); --workers to the cores; --rate (30) counts submissions a minute from one address,\n"
    "from the last X-Forwarded-For entry for requests from the --trusted-proxy; past "
    "--queue-limit\n"
    "(10000) queued runs and past --max-connections (128) connections a request gets 503.\n"
    "--page serves the browser build's folder (make web's build/web) from the same address.\n";

namespace {

// A whole decimal number from low to high; none otherwise.
std::optional<int64_t> parseNumber(const std::string& text, int64_t low, int64_t high) {
    if (text.empty() || text[0] == '-' || text[0] == '+' || text[0] == ' ')
        return std::nullopt;
    errno = 0;
    char* end = nullptr;
    const long long value = std::strtoll(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || value < low || value > high)
        return std::nullopt;
    return value;
}

// HOST:PORT, the host of an IPv6 address in brackets.
bool parseListen(const std::string& text, ServiceOptions& options) {
    const auto colon = text.rfind(':');
    if (colon == std::string::npos || colon == 0)
        return false;
    std::string host = text.substr(0, colon);
    if (host.front() == '[') {
        if (host.size() < 3 || host.back() != ']')
            return false;
        host = host.substr(1, host.size() - 2);
    }
    const auto port = parseNumber(text.substr(colon + 1), 0, 65535);
    if (!port)
        return false;
    options.host = host;
    options.port = static_cast<int>(*port);
    return true;
}

struct Range {
    int64_t low;
    int64_t high;
    const char* what;
};

// The options that take a number, with the values they accept.
const std::map<std::string, Range>& numberOptions() {
    static const std::map<std::string, Range> ranges = {
        {"--workers", {0, 256, "a number of workers from 0 to 256"}},
        {"--rate", {1, 1000000, "submissions a minute, at least 1"}},
        {"--queue-limit", {1, int64_t{1} << 40, "a number of runs, at least 1"}},
        {"--max-connections", {1, 10000, "a number of connections from 1 to 10000"}},
        {"--lease", {1, 86400, "seconds from 1 to 86400"}},
        {"--hide", {1, INT64_MAX, "a run's id"}},
        {"--unhide", {1, INT64_MAX, "a run's id"}},
    };
    return ranges;
}

void setNumber(const std::string& option, int64_t value, ServiceOptions& options) {
    if (option == "--workers")
        options.workers = static_cast<int>(value);
    else if (option == "--rate")
        options.rate = static_cast<int>(value);
    else if (option == "--queue-limit")
        options.queueLimit = value;
    else if (option == "--max-connections")
        options.maxConnections = static_cast<int>(value);
    else if (option == "--lease")
        options.leaseSeconds = static_cast<int>(value);
    else if (option == "--hide")
        options.hide = value;
    else
        options.unhide = value;
}

// The options' value with its option; false with the reason when the value is not one it takes.
bool setValue(const std::string& option, const std::string& value, ServiceOptions& options,
              std::string& error) {
    if (const auto number = numberOptions().find(option); number != numberOptions().end()) {
        const auto parsed = parseNumber(value, number->second.low, number->second.high);
        if (!parsed) {
            error = option + " takes " + number->second.what + ", not \"" + value + "\"";
            return false;
        }
        setNumber(option, *parsed, options);
        return true;
    }
    if (option == "--listen" && !parseListen(value, options)) {
        error = "--listen takes HOST:PORT, not \"" + value + "\"";
        return false;
    }
    if (value.empty()) {
        error = option + " needs a value";
        return false;
    }
    if (option == "--data")
        options.dataFolder = value;
    else if (option == "--postgres")
        options.postgresUrl = value;
    else if (option == "--trusted-proxy")
        options.trustedProxy = value;
    else if (option == "--page")
        options.pageFolder = value;
    else if (option == "--verify-one")
        options.verifyOne = value;
    return true;
}

// What cannot go together, or is missing; empty when the options make sense.
std::string contradiction(const ServiceOptions& options) {
    if (!options.verifyOne.empty())
        return {};
    if (options.dataFolder.empty() == options.postgresUrl.empty())
        return "give either --data DIR or --postgres URL";
    if (options.hide && options.unhide)
        return "--hide and --unhide go one at a time";
    if (options.workerOnly && options.workers == 0)
        return "--worker with --workers 0 has nothing to do";
    if (options.workerOnly && !options.pageFolder.empty())
        return "--worker serves no page";
    return {};
}

}  // namespace

std::optional<ServiceOptions> parseServiceOptions(const std::vector<std::string>& args,
                                                  std::string& error) {
    static const char* const valued[] = {"--data",          "--postgres", "--listen",
                                         "--trusted-proxy", "--page",     "--verify-one"};
    ServiceOptions options;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h") {
            options.help = true;
            return options;
        }
        if (arg == "--worker") {
            options.workerOnly = true;
            continue;
        }
        bool known = numberOptions().count(arg) > 0;
        for (const char* option : valued)
            known = known || arg == option;
        if (!known) {
            error = "unknown argument \"" + arg + "\"";
            return std::nullopt;
        }
        if (i + 1 >= args.size()) {
            error = arg + " needs a value";
            return std::nullopt;
        }
        if (!setValue(arg, args[++i], options, error))
            return std::nullopt;
    }
    error = contradiction(options);
    if (!error.empty())
        return std::nullopt;
    return options;
}

}  // namespace quelvane::server
