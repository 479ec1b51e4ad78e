#include "game/online/WorldClient.h"

#include <curl/curl.h>

#include <mutex>
#include <nlohmann/json.hpp>

#include <type_traits>
#include "game/online/WorldSettings.h"

namespace quelvane::online {

namespace {

constexpr long kConnectMs = 5'000;
// A call ends when it stalls (under 1 KiB/s for 15 s), so that a replay sent over a slow line
// still goes, and in any case after two minutes.
constexpr long kStallBytesPerSecond = 1024;
constexpr long kStallSeconds = 15;
constexpr long kWholeCallMs = 120'000;
// What the game shows of a server's texts, and of its table.
constexpr size_t kMostShownChars = 80;
constexpr size_t kMostRows = 40;
// The largest answer taken: a table of 100 rows is some 10 KiB, a replay at most 4 MiB.
constexpr size_t kMostAnswerBytes = 5u << 20;

struct Transfer {
    std::string body;
    bool tooLarge = false;
};

size_t received(char* data, size_t size, size_t count, void* user) {
    auto& transfer = *static_cast<Transfer*>(user);
    const size_t length = size * count;
    if (transfer.body.size() + length > kMostAnswerBytes) {
        transfer.tooLarge = true;
        return 0;
    }
    transfer.body.append(data, length);
    return length;
}

int progress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    const auto* cancel = static_cast<const std::atomic<bool>*>(user);
    return cancel && cancel->load() ? 1 : 0;
}

nlohmann::json parsed(const std::string& body) {
    nlohmann::json json = nlohmann::json::parse(body, nullptr, false);
    return json.is_object() ? json : nlohmann::json::object();
}

// A field of an answer; the fallback when it is missing or of another type.
template <class T>
T field(const nlohmann::json& json, const char* name, T fallback) {
    const auto at = json.find(name);
    if (at == json.end())
        return fallback;
    if constexpr (std::is_same_v<T, std::string>)
        return at->is_string() ? at->get<std::string>() : fallback;
    else
        return at->is_number_integer() ? at->get<T>() : fallback;
}

// A server's text as the game shows and prints it: its font's Latin-1, no control characters (a
// terminal's escapes among them), one short line.
std::string shown(const std::string& text) {
    std::string out = latin1(text).value_or("?");
    if (out.size() > kMostShownChars)
        out.resize(kMostShownChars);
    for (char& c : out) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || (byte >= 0x7f && byte < 0xa0))
            c = ' ';
    }
    return out;
}

std::string refusalOf(const Reply& reply) {
    const std::string error = shown(field<std::string>(parsed(reply.body), "error", ""));
    return error.empty() ? "the server answered " + std::to_string(reply.status) : error;
}

}  // namespace

WorldClient::WorldClient(std::string server, const std::atomic<bool>* cancel)
    : server_(std::move(server)), cancel_(cancel) {
    static std::once_flag started;
    std::call_once(started, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
    curl_ = curl_easy_init();
}

WorldClient::~WorldClient() {
    curl_easy_cleanup(curl_);
}

Reply WorldClient::request(const std::string& path, const std::vector<uint8_t>* body,
                           const std::string* secret) {
    Reply reply;
    if (!curl_) {
        reply.error = "libcurl could not be started";
        return reply;
    }
    CURL* curl = curl_;
    curl_easy_reset(curl);
    Transfer transfer;
    const std::string url = server_ + path;
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, kConnectMs);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, kWholeCallMs);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, kStallBytesPerSecond);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, kStallSeconds);
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 2L);
    curl_easy_setopt(curl, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(kMostAnswerBytes));
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &received);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, &progress);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, cancel_);
    curl_slist* headers = nullptr;
    if (body) {
        headers = curl_slist_append(headers, "Content-Type: application/octet-stream");
        curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
        curl_easy_setopt(curl, CURLOPT_POSTFIELDS, body->data());
        curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body->size()));
    } else if (secret) {
        headers = curl_slist_append(headers, ("X-Run-Secret: " + *secret).c_str());
        curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
        curl_easy_setopt(curl, CURLOPT_CUSTOMREQUEST, "DELETE");
    }
    const CURLcode result = curl_easy_perform(curl);
    curl_slist_free_all(headers);
    if (result != CURLE_OK) {
        reply.error = transfer.tooLarge ? "its answer was too large" : curl_easy_strerror(result);
        return reply;
    }
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &reply.status);
    curl_off_t retry = 0;
    if (curl_easy_getinfo(curl, CURLINFO_RETRY_AFTER, &retry) == CURLE_OK)
        reply.retryAfter = static_cast<long>(retry);
    reply.body = std::move(transfer.body);
    return reply;
}

Submission WorldClient::submit(const std::vector<uint8_t>& replay) {
    const Reply reply = request("/api/runs", &replay);
    Submission out;
    const nlohmann::json json = parsed(reply.body);
    if ((reply.status == 202 || reply.status == 200) && field<int64_t>(json, "id", 0) > 0) {
        out.fate = Submission::Fate::Taken;
        out.id = field<int64_t>(json, "id", 0);
        out.secret = field<std::string>(json, "secret", "");
        return out;
    }
    if (reply.status == 400 || reply.status == 409 || reply.status == 413) {
        out.fate = Submission::Fate::Refused;
        out.reason = refusalOf(reply);
        return out;
    }
    out.reason = reply.status == 0 ? reply.error : refusalOf(reply);
    out.retryAfter = reply.retryAfter;
    return out;
}

Standing WorldClient::standing(int64_t id) {
    const Reply reply = get("/api/runs/" + std::to_string(id));
    Standing out;
    out.answered = reply.status == 200 || reply.status == 404;
    if (reply.status != 200)
        return out;
    const nlohmann::json json = parsed(reply.body);
    out.state = field<std::string>(json, "state", "");
    out.place = field<int64_t>(json, "place", 0);
    out.reason = shown(field<std::string>(json, "reason", ""));
    return out;
}

std::optional<std::vector<TableRow>> WorldClient::table(int64_t around, std::string& error) {
    const Reply reply =
        get("/api/table?top=10" + (around > 0 ? "&around=" + std::to_string(around) : ""));
    const nlohmann::json json = parsed(reply.body);
    const auto rows = json.find("rows");
    if (reply.status != 200 || rows == json.end() || !rows->is_array()) {
        error = reply.status == 0 ? reply.error : refusalOf(reply);
        return std::nullopt;
    }
    std::vector<TableRow> table;
    for (const nlohmann::json& row : *rows) {
        if (table.size() == kMostRows)
            break;
        if (row.is_object())
            table.push_back({field<int64_t>(row, "place", 0),
                             shown(field<std::string>(row, "name", "")),
                             field<int64_t>(row, "score", 0), field<int64_t>(row, "id", 0)});
    }
    return table;
}

Withdrawal WorldClient::withdraw(int64_t id, const std::string& secret) {
    const Reply reply = request("/api/runs/" + std::to_string(id), nullptr, &secret);
    switch (reply.status) {
        case 204:
            return {Withdrawal::Fate::Withdrawn, ""};
        case 404:
            return {Withdrawal::Fate::Gone, ""};
        case 403:
            return {Withdrawal::Fate::Refused, refusalOf(reply)};
        default:
            return {Withdrawal::Fate::Later, reply.status == 0 ? reply.error : refusalOf(reply)};
    }
}

Reply WorldClient::get(const std::string& path) {
    return request(path, nullptr);
}

}  // namespace quelvane::online
