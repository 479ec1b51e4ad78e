#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quelvane::server {

// What quelvane-world was asked to do.
struct ServiceOptions {
    std::string dataFolder;   // the SQLite file's folder (--data)
    std::string postgresUrl;  // PostgreSQL instead (--postgres)
    std::string host = "127.0.0.1";
    int port = 8080;
    int workers = -1;         // verifications at once; -1 until the caller puts in the cores
    bool workerOnly = false;  // --worker: verifications, no HTTP
    int rate = 30;            // submissions a minute from one address
    std::string trustedProxy;
    int64_t queueLimit = 10000;
    int maxConnections = 128;
    int leaseSeconds = 0;  // 0: the default, a minute
    std::optional<int64_t> hide;
    std::optional<int64_t> unhide;
    std::string pageFolder;  // --page: the browser build's files, served beside the API
    std::string verifyOne;   // the worker's child: the file it verifies
    bool help = false;
};

// Parses the command line; none, with the reason in error, for an unknown option, a value out of
// its range, or options that cannot go together.
std::optional<ServiceOptions> parseServiceOptions(const std::vector<std::string>& args,
                                                  std::string& error);

extern const char* const kServiceUsage;

}  // namespace quelvane::server
