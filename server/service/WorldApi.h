#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include <httplib.h>

#include "server/service/RateLimiter.h"
#include "server/store/Store.h"

namespace quelvane::server {

struct ApiSettings {
    uint64_t rules = 0;  // the rules this build verifies
    int rate = 30;       // submissions a minute from one address
    std::string trustedProxy;
    int64_t queueLimit = 10000;
    int maxConnections = 128;
};

// The world table's HTTP API, every answer JSON but a replay's file and the metrics.
class WorldApi {
  public:
    // submitted is called after each new run is queued.
    WorldApi(Store& store, ApiSettings settings, std::function<void()> submitted);

    // Routes the API's paths on server, with its limits: a body of 4 MiB at most, a few seconds
    // for a request to arrive and for a kept-alive connection to send the next.
    void install(httplib::Server& server);

  private:
    void receive(const httplib::Request& req, httplib::Response& res,
                 const httplib::ContentReader& content);
    void submit(const httplib::Request& req, const std::vector<uint8_t>& file,
                httplib::Response& res);
    void run(const httplib::Request& req, httplib::Response& res);
    void replay(const httplib::Request& req, httplib::Response& res);
    void withdraw(const httplib::Request& req, httplib::Response& res);
    void table(const httplib::Request& req, httplib::Response& res);
    void health(httplib::Response& res);
    void metrics(httplib::Response& res);

    Store& store_;
    const ApiSettings settings_;
    const std::function<void()> submitted_;
    RateLimiter limiter_;
};

}  // namespace quelvane::server
