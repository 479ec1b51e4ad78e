// The world service under load on this machine, on one store: the time to 202 with 20 clients
// sending new runs, /health while every worker verifies, how many seconds of play the workers
// verify a second, and how soon a long genuine game is on an idle server's table.
//   world_load sqlite|postgres LONG.qvr
// LONG.qvr is a game of ten minutes' play, as scripts/bench-world.sh records it.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <exception>
#include <fstream>
#include <iterator>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "game/replay/ReplayFile.h"
#include "server/support/GenuineReplays.h"
#include "server/support/PostgresCluster.h"
#include "server/support/WorldClient.h"
#include "server/support/WorldProcess.h"
#include "support/ForgedRecording.h"
#include "support/TempDir.h"

namespace quelvane {
namespace {

using Clock = std::chrono::steady_clock;
constexpr int kWorkers = 2;
constexpr int kClients = 20;

double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double percentile(std::vector<double> samples, double p) {
    if (samples.empty())
        return -1;
    std::sort(samples.begin(), samples.end());
    return samples[std::min(samples.size() - 1, static_cast<size_t>(p * samples.size()))];
}

// The same game under many names: each file new to the server, each kept and queued.
std::vector<std::vector<uint8_t>> renamedCopies(const GenuineGame& game, int count) {
    const Recording real = *decodeReplay(game.file, 0).recording;
    std::vector<std::vector<uint8_t>> files;
    for (int i = 0; i < count; ++i) {
        const std::string name = {'b', static_cast<char>('a' + i / 676 % 26),
                                  static_cast<char>('a' + i / 26 % 26),
                                  static_cast<char>('a' + i % 26)};
        files.push_back(encodeReplay(
            forgeRecording(real, [&](Recording& r, GameStart&) { r.header.name = name; })));
    }
    return files;
}

// Starts quelvane-world in a folder of its own on a fresh database each time: a new SQLite file,
// or a new database on a PostgreSQL server of the benchmark's own.
class Bench {
  public:
    explicit Bench(const std::string& store) {
        if (store == "postgres")
            cluster_ = std::make_unique<PostgresCluster>();
    }

    std::unique_ptr<WorldProcess> start(const std::vector<std::string>& more) {
        auto folder = std::make_unique<TempDir>();
        std::vector<std::string> options = storeOptions(*folder);
        options.insert(options.end(), more.begin(), more.end());
        auto world = std::make_unique<WorldProcess>(QUELVANE_WORLD, options, folder->path());
        folders_.push_back(std::move(folder));
        if (!world->ready()) {
            std::fprintf(stderr, "quelvane-world did not start:\n%s", world->log().c_str());
            std::exit(1);
        }
        return world;
    }

  private:
    std::vector<std::string> storeOptions(const TempDir& folder) const {
        if (cluster_)
            return {"--postgres", cluster_->newDatabase()};
        return {"--data", (folder / "data").string()};
    }

    std::unique_ptr<PostgresCluster> cluster_;
    std::vector<std::unique_ptr<TempDir>> folders_;
};

void timeTo202(Bench& bench, const GenuineGame& game) {
    const auto files = renamedCopies(game, 1000);
    auto world = bench.start({"--workers", std::to_string(kWorkers), "--rate", "1000000"});
    std::vector<double> times;
    std::mutex timesLock;
    std::atomic<size_t> next{0};
    std::map<int, int> others;  // answers but 202, by status
    std::vector<std::thread> clients;
    clients.reserve(kClients);
    for (int c = 0; c < kClients; ++c) {
        clients.emplace_back([&] {
            auto client = world->client();
            for (size_t i = next++; i < files.size(); i = next++) {
                const auto start = Clock::now();
                const int status = submitRun(*client, files[i]).status;
                const double ms = millisecondsSince(start);
                std::lock_guard<std::mutex> hold(timesLock);
                if (status == 202)
                    times.push_back(ms);
                else
                    ++others[status];
            }
        });
    }
    for (std::thread& client : clients)
        client.join();
    std::string otherAnswers;
    for (const auto& [status, count] : others)
        otherAnswers += ", " + std::to_string(count) + " answered " + std::to_string(status);
    std::printf(
        "  time to 202, %d clients, %zu new runs%s: p50 %.1f ms, p99 %.1f ms (goal < 100)\n",
        kClients, times.size(), otherAnswers.c_str(), percentile(times, 0.5),
        percentile(times, 0.99));
    world->stop();
}

void healthAndThroughput(Bench& bench, const std::vector<GenuineGame>& games) {
    auto world = bench.start({"--workers", std::to_string(kWorkers), "--rate", "1000000"});
    auto client = world->client();
    double playSeconds = 0;
    std::set<int64_t> ids;
    const auto start = Clock::now();
    for (const GenuineGame& game : games) {
        ids.insert(submitRun(*client, game.file).body.value("id", int64_t{0}));
        playSeconds += game.header.milliseconds / 1000.0;
    }
    const auto busy = [&] {
        return metric(*client, "quelvane_world_runs{state=\"verifying\"}") >= kWorkers;
    };
    while (!busy() && millisecondsSince(start) < 30'000)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    std::vector<double> health;
    while (busy() && health.size() < 100'000) {
        for (int i = 0; i < 20; ++i) {
            const auto asked = Clock::now();
            if (getJson(*client, "/health").status == 200)
                health.push_back(millisecondsSince(asked));
        }
    }
    const auto runs = settle(*client, ids, std::chrono::seconds(1200));
    const double seconds = millisecondsSince(start) / 1000;
    const long verified = std::count_if(runs.begin(), runs.end(), [](const auto& run) {
        return run.second.value("state", "") == "verified";
    });
    std::printf(
        "  /health while %d workers verify: %zu asked, p50 %.2f ms, p99 %.2f ms (goal < 50)\n",
        kWorkers, health.size(), percentile(health, 0.5), percentile(health, 0.99));
    std::printf(
        "  verification: %ld of %zu games, %.0f s of play in %.1f s: %.1f s of play a "
        "second (goal >= %d)\n",
        verified, games.size(), playSeconds, seconds, playSeconds / seconds, kWorkers * 50);
    world->stop();
}

void longGame(Bench& bench, const GenuineGame& game) {
    auto world = bench.start({"--workers", std::to_string(kWorkers)});
    auto client = world->client();
    const Answer answer = submitRun(*client, game.file);
    // From the 202: the time the game waits to be on the table.
    const auto start = Clock::now();
    const int64_t id = answer.body.value("id", int64_t{0});
    double onTable = -1;
    while (answer.status == 202 && onTable < 0 && millisecondsSince(start) < 600'000) {
        if (tableIds(*client).count(id))
            onTable = millisecondsSince(start);
        else
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    std::printf(
        "  a %.1f-minute game (%u passes, score %lld), answered %d: on the table %.2f s after "
        "its submission (goal: within 15 s)\n",
        game.header.milliseconds / 60000.0, game.header.passes,
        static_cast<long long>(game.header.score), answer.status, onTable / 1000);
    world->stop();
}

// The long game's file and header; the driver ends when it cannot be read.
GenuineGame readLongGame(const char* file) {
    std::ifstream in(file, std::ios::binary);
    GenuineGame game;
    game.file.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    const std::optional<ReplayHeader> header = peekReplayHeader(game.file);
    if (!header) {
        std::fprintf(stderr, "world_load: %s is no replay\n", file);
        std::exit(2);
    }
    game.header = *header;
    return game;
}

}  // namespace
}  // namespace quelvane

int main(int argc, char** argv) {
    using namespace quelvane;
    if (argc != 3) {
        std::fprintf(stderr, "usage: world_load sqlite|postgres LONG.qvr\n");
        return 2;
    }
    // A write to a connection the service has closed fails rather than ending the driver.
    std::signal(SIGPIPE, SIG_IGN);
    try {
        const std::string store = argv[1];
        const GenuineGame longOne = readLongGame(argv[2]);
        const std::vector<GenuineGame> games = genuineGames(20);
        std::printf("quelvane-world on %s, %d workers:\n", store.c_str(), kWorkers);
        Bench bench(store);
        timeTo202(bench, games[0]);
        healthAndThroughput(bench, games);
        longGame(bench, longOne);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "world_load: %s\n", error.what());
        return 1;
    }
    return 0;
}
