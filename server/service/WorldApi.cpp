#include "server/service/WorldApi.h"

#include <charconv>
#include <cstdio>
#include <ctime>
#include <memory>

#include "game/verify/Verifier.h"
#include "server/service/ApiJson.h"
#include "server/service/ClientAddress.h"
#include "server/service/ConnectionQueue.h"
#include "server/service/Digest.h"
#include "server/service/Metrics.h"

namespace quelvane::server {

namespace {

using httplib::Request;
using httplib::Response;

constexpr int kStoreRetrySeconds = 5;
constexpr int kQueueRetrySeconds = 30;
constexpr int kBusyRetrySeconds = 1;
constexpr int kAroundRows = 5;
constexpr int kMostRows = 100;
// The most of a body past the limit that is read, and dropped, so that its sender reads the
// refusal.
constexpr size_t kDrainedBytes = 16u << 20;

void answer(Response& res, int status, const std::string& body) {
    res.status = status;
    res.set_content(body, "application/json");
}

void retryLater(Response& res, int status, const std::string& body, int seconds) {
    answer(res, status, body);
    res.set_header("Retry-After", std::to_string(seconds));
}

// Answers and ends the connection: the provider writes the whole body, then reports a failure,
// which is what makes httplib close the socket instead of waiting for another request on it.
void answerAndClose(Response& res, int status, const std::string& body, int retryAfter = 0) {
    res.status = status;
    if (retryAfter > 0)
        res.set_header("Retry-After", std::to_string(retryAfter));
    res.set_header("Connection", "close");
    auto text = std::make_shared<std::string>(body);
    res.set_content_provider(text->size(), "application/json",
                             [text](size_t offset, size_t length, httplib::DataSink& sink) {
                                 sink.write(text->data() + offset, length);
                                 return false;
                             });
}

void unreachable(Response& res, const StoreUnavailable& fault) {
    std::fprintf(stderr, "quelvane-world: %s\n", fault.what());
    retryLater(res, 503, errorJson("the database cannot be reached"), kStoreRetrySeconds);
}

std::optional<int64_t> parseId(const std::string& text) {
    int64_t id = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), id);
    if (error != std::errc() || end != text.data() + text.size() || id <= 0)
        return std::nullopt;
    return id;
}

// The last X-Forwarded-For header's value: a proxy adds its entry to the last.
std::string lastForwardedFor(const Request& req) {
    const size_t count = req.get_header_value_count("X-Forwarded-For");
    return count == 0 ? std::string() : req.get_header_value("X-Forwarded-For", count - 1);
}

int faultStatus(FileFault fault) {
    switch (fault) {
        case FileFault::TooLarge:
            return 413;
        case FileFault::OtherRules:
            return 409;
        default:
            return 400;
    }
}

const char* statusReason(int status) {
    switch (status) {
        case 400:
            return "the request cannot be read";
        case 404:
            return "no such path";
        case 405:
            return "not allowed here";
        case 413:
            return "the file is larger than 4 MiB";
        case 414:
            return "the path is too long";
        default:
            return "the request cannot be answered";
    }
}

}  // namespace

WorldApi::WorldApi(Store& store, ApiSettings settings, std::function<void()> submitted)
    : store_(store),
      settings_(std::move(settings)),
      submitted_(std::move(submitted)),
      limiter_(settings_.rate) {}

void WorldApi::install(httplib::Server& server) {
    const auto connections = static_cast<size_t>(settings_.maxConnections);
    server.new_task_queue = [connections] { return new ConnectionQueue(connections, 2); };
    server.set_read_timeout(5);
    server.set_write_timeout(5);
    server.set_keep_alive_timeout(5);
    server.set_keep_alive_max_count(100);
    // An answer goes out at once, not after the client's delayed acknowledgement of its head.
    server.set_tcp_nodelay(true);
    server.set_payload_max_length(kDrainedBytes);
    server.set_pre_routing_handler([](const Request&, Response& res) {
        if (!ConnectionQueue::refusing())
            return httplib::Server::HandlerResponse::Unhandled;
        answerAndClose(res, 503, errorJson("too many connections"), kBusyRetrySeconds);
        return httplib::Server::HandlerResponse::Handled;
    });
    // httplib's own refusals (a body too large, a request it cannot parse, no such path) in JSON
    // too; an answer of ours has its type already.
    server.set_error_handler([](const Request&, Response& res) {
        if (!res.has_header("Content-Type"))
            answer(res, res.status, errorJson(statusReason(res.status)));
    });
    server.set_exception_handler([](const Request&, Response& res, const std::exception_ptr&) {
        answer(res, 500, errorJson("the server failed to answer"));
    });
    const auto guarded = [this](void (WorldApi::*handler)(const Request&, Response&)) {
        return [this, handler](const Request& req, Response& res) {
            try {
                (this->*handler)(req, res);
            } catch (const StoreUnavailable& fault) {
                unreachable(res, fault);
            }
        };
    };
    server.Post("/api/runs",
                [this](const Request& req, Response& res, const httplib::ContentReader& content) {
                    try {
                        receive(req, res, content);
                    } catch (const StoreUnavailable& fault) {
                        unreachable(res, fault);
                    }
                });
    server.Get(R"(/api/runs/(\d+))", guarded(&WorldApi::run));
    server.Get(R"(/api/runs/(\d+)/replay)", guarded(&WorldApi::replay));
    server.Delete(R"(/api/runs/(\d+))", guarded(&WorldApi::withdraw));
    server.Get("/api/table", guarded(&WorldApi::table));
    server.Get("/health", [this](const Request&, Response& res) { health(res); });
    server.Get("/metrics", [this](const Request&, Response& res) {
        try {
            metrics(res);
        } catch (const StoreUnavailable& fault) {
            unreachable(res, fault);
        }
    });
}

// The body is read here rather than by httplib, which holds a body it takes for a form (curl's
// --data-binary says it is one) to 8 KiB. One a little past the limit is still read to its end,
// and dropped, before the refusal: a client still sending would otherwise meet a reset connection
// instead of the answer. One far past it is refused unread.
void WorldApi::receive(const Request& req, Response& res, const httplib::ContentReader& content) {
    if (req.is_multipart_form_data()) {
        answerAndClose(res, 400, errorJson("send the replay file itself as the body, not a form"));
        return;
    }
    const size_t most = VerifyLimits{}.maxFileBytes;
    if (req.get_header_value<uint64_t>("Content-Length") > kDrainedBytes) {
        answerAndClose(res, 413, errorJson("the file is larger than 4 MiB"));
        return;
    }
    std::vector<uint8_t> file;
    bool tooLarge = false;
    size_t received = 0;
    const bool whole = content([&](const char* data, size_t length) {
        // A body without a length (chunked) is dropped only so far, then the connection ends.
        received += length;
        if (tooLarge)
            return received <= kDrainedBytes;
        file.insert(file.end(), data, data + length);
        if (file.size() > most) {
            tooLarge = true;
            std::vector<uint8_t>().swap(file);
        }
        return true;
    });
    if (tooLarge) {
        answerAndClose(res, 413, errorJson("the file is larger than 4 MiB"));
        return;
    }
    if (!whole) {
        answerAndClose(res, 400, errorJson("the request's body cannot be read"));
        return;
    }
    submit(req, file, res);
}

void WorldApi::submit(const Request& req, const std::vector<uint8_t>& file, Response& res) {
    const std::string address =
        countedAddress(req.remote_addr, lastForwardedFor(req), settings_.trustedProxy);
    if (const auto wait = limiter_.take(address, RateLimiter::Clock::now())) {
        retryLater(res, 429,
                   errorJson("more than " + std::to_string(settings_.rate) +
                             " submissions a minute from one address"),
                   *wait);
        return;
    }
    const FileCheck check = checkReplayFile(file, settings_.rules, VerifyLimits{});
    if (check.fault == FileFault::OtherRules) {
        answer(res, 409, otherRulesJson(check.reason, settings_.rules));
        return;
    }
    if (check.fault != FileFault::None) {
        answer(res, faultStatus(check.fault), errorJson(check.reason));
        return;
    }
    const ReplayHeader& header = check.recording->header;
    NewRun run;
    run.file = file;
    run.fileDigest = sha256Hex(file.data(), file.size());
    run.rules = settings_.rules;
    run.name = header.name;
    run.claimedScore = header.score;
    run.lengthMs = header.milliseconds;
    run.playedAt = header.recordedAt;
    run.receivedAt = std::time(nullptr);
    const std::string secret = randomHex(16);
    run.secretDigest = sha256Hex(secret.data(), secret.size());
    const auto submitted = store_.submit(run, settings_.queueLimit);
    if (!submitted) {
        retryLater(res, 503, errorJson("the queue is full"), kQueueRetrySeconds);
        return;
    }
    if (!submitted->existing) {
        answer(res, 202, acceptedJson(submitted->id, secret));
        submitted_();
        return;
    }
    const auto kept = store_.run(submitted->id);
    if (!kept || kept->hidden)
        answer(res, 404, errorJson("this file was sent before and is no longer served"));
    else
        answer(res, 200, runJson(*kept));
}

void WorldApi::run(const Request& req, Response& res) {
    const auto id = parseId(req.matches[1]);
    const auto kept = id ? store_.run(*id) : std::nullopt;
    if (!kept || kept->hidden)
        answer(res, 404, errorJson("no such run"));
    else
        answer(res, 200, runJson(*kept));
}

void WorldApi::replay(const Request& req, Response& res) {
    const auto id = parseId(req.matches[1]);
    const auto file = id ? store_.replay(*id) : std::nullopt;
    if (!file) {
        answer(res, 404, errorJson("no such run"));
        return;
    }
    res.status = 200;
    res.set_header("Content-Disposition",
                   "attachment; filename=\"run-" + std::to_string(*id) + ".qvr\"");
    res.set_content(reinterpret_cast<const char*>(file->data()), file->size(),
                    "application/octet-stream");
}

void WorldApi::withdraw(const Request& req, Response& res) {
    const auto id = parseId(req.matches[1]);
    if (!id || !store_.run(*id)) {
        answer(res, 404, errorJson("no such run"));
        return;
    }
    const std::string secret = req.get_header_value("X-Run-Secret");
    if (!store_.withdraw(*id, sha256Hex(secret.data(), secret.size()))) {
        answer(res, 403, errorJson("the secret is not this run's"));
        return;
    }
    res.status = 204;
}

void WorldApi::table(const Request& req, Response& res) {
    int top = 10;
    std::optional<int64_t> around;
    uint64_t rules = settings_.rules;
    if (req.has_param("top")) {
        const auto asked = parseId(req.get_param_value("top"));
        if (!asked) {
            answer(res, 400, errorJson("top takes a number of rows"));
            return;
        }
        top = static_cast<int>(std::min<int64_t>(*asked, kMostRows));
    }
    if (req.has_param("around")) {
        around = parseId(req.get_param_value("around"));
        if (!around) {
            answer(res, 400, errorJson("around takes a run's id"));
            return;
        }
    }
    if (req.has_param("rules")) {
        const auto asked = parseRulesHex(req.get_param_value("rules"));
        if (!asked) {
            answer(res, 400, errorJson("rules takes 16 lowercase hex digits"));
            return;
        }
        rules = *asked;
    }
    answer(res, 200, tableJson(rules, store_.table(rules, top, around, kAroundRows)));
}

// A lookup by key, the cheapest question that still reaches the database.
void WorldApi::health(Response& res) {
    try {
        store_.run(0);
        answer(res, 200, R"({"status":"ok","rules":")" + rulesHex(settings_.rules) + "\"}");
    } catch (const StoreUnavailable& fault) {
        unreachable(res, fault);
    }
}

void WorldApi::metrics(Response& res) {
    res.status = 200;
    res.set_content(metricsText(store_.counts()), "text/plain; version=0.0.4");
}

}  // namespace quelvane::server
