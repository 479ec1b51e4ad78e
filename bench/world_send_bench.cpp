// The frame of play of a wave of 20 with the repeater firing, while the game's thread does with the
// world table's sender what the game does: reads its status every frame, asks for the table about
// once a second and reads it every frame, and hands over a kept game every few seconds. The server
// is on loopback: one that answers at once, a port that refuses, or one that takes the connection
// and never answers; beside them the same frame with no sender.
#include <arpa/inet.h>
#include <benchmark/benchmark.h>
#include <httplib.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>

#include "game/online/WorldSender.h"
#include "game/player/Ship.h"
#include "game/replay/ReplayFile.h"
#include "game/screens/Pass.h"
#include "platform/WholeFile.h"
#include "support/BusyField.h"
#include "support/ScriptedGame.h"
#include "support/TempDir.h"

namespace quelvane {
namespace {

using namespace online;
using Clock = std::chrono::steady_clock;

// The game's own calls, in passes.
constexpr int64_t kAskTableEvery = 66;
constexpr int64_t kSendEvery = 330;
// Short, so that the sender tries again and asks again while the frames run.
constexpr SendTiming kQuick{std::chrono::milliseconds(200), std::chrono::milliseconds(400),
                            std::chrono::milliseconds(100), std::chrono::milliseconds(200)};

ScriptedGame& game() {
    static ScriptedGame instance(1, 1000);
    if (!instance.started())
        std::abort();
    return instance;
}

// A game kept from a real run: quit in play, with no name of its own.
const Recording& keptGame() {
    static const Recording recording = [] {
        const platform::WholeFile file = platform::readWholeFile(
            QUELVANE_SOURCE_DIR "/tests/replay/corpus/replay/quit-in-play.qvr", 1u << 20);
        ReplayRead read = decodeReplay(file.bytes, 0);
        if (!read.recording)
            std::abort();
        return std::move(*read.recording);
    }();
    return recording;
}

// Answers as the world table's server does, at once: every replay taken, every run placed first.
class AnsweringServer {
  public:
    AnsweringServer() {
        server_.Post("/api/runs", [this](const httplib::Request&, httplib::Response& response) {
            response.status = 202;
            response.set_content("{\"id\":" + std::to_string(++runs) + ",\"secret\":\"s\"}",
                                 "application/json");
        });
        server_.Get(R"(/api/runs/\d+)", [](const httplib::Request&, httplib::Response& response) {
            response.set_content(R"({"state":"verified","place":1})", "application/json");
        });
        server_.Get("/api/table", [this](const httplib::Request&, httplib::Response& response) {
            ++tables;
            response.set_content(R"({"rows":[{"place":1,"name":"ada","score":1200,"id":1}]})",
                                 "application/json");
        });
        // Else each answer, written in pieces, waits some 40 ms on the client's delayed ACK.
        server_.set_tcp_nodelay(true);
        port = server_.bind_to_any_port("127.0.0.1");
        thread_ = std::thread([this] { server_.listen_after_bind(); });
        while (!server_.is_running())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ~AnsweringServer() {
        server_.stop();
        thread_.join();
    }

    int port = 0;
    std::atomic<int64_t> runs{0};
    std::atomic<int64_t> tables{0};

  private:
    httplib::Server server_;
    std::thread thread_;
};

// A port on loopback that refuses every connection, or one that listens and never answers: the
// system completes the connections, and no one reads them.
class MuteServer {
  public:
    explicit MuteServer(bool listens) : socket_(::socket(AF_INET, SOCK_STREAM, 0)) {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        auto* any = reinterpret_cast<sockaddr*>(&address);
        if (socket_ < 0 || ::bind(socket_, any, length) != 0 ||
            (listens && ::listen(socket_, 8) != 0) || ::getsockname(socket_, any, &length) != 0)
            std::abort();
        port = ntohs(address.sin_port);
    }
    ~MuteServer() { ::close(socket_); }
    MuteServer(const MuteServer&) = delete;
    MuteServer& operator=(const MuteServer&) = delete;

    int port = 0;

  private:
    int socket_;
};

double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// The frames, with the sender's calls when there is one. Counted: the worst frame and the worst the
// sender's calls took of one, the frames longer than a pass's period, and the frames in which the
// last game was being sent or kept to send again, or the table was being asked for. The frames run
// back to back, so the sender is handed games far faster than a player would hand them.
void playFrames(benchmark::State& state, WorldSender* sender) {
    BusyField field(game(), 20);
    player.setAttack(true);
    int64_t frame = 0, late = 0, sends = 0, sending = 0, kept = 0, tableWaiting = 0;
    double worst = 0, worstCalls = 0;
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        field.frame(false);
        const Clock::time_point calls = Clock::now();
        if (sender) {
            const WorldStatus status = sender->status();
            sending += status.stage == WorldStatus::Stage::Sending ? 1 : 0;
            kept += status.stage == WorldStatus::Stage::Kept ? 1 : 0;
            if (frame % kAskTableEvery == 0)
                sender->askTable();
            const WorldTable table = sender->table();
            tableWaiting += table.state == WorldTable::State::Waiting ? 1 : 0;
            if (frame % kSendEvery == 0) {
                sender->send(keptGame(), true);
                ++sends;
            }
        }
        worstCalls = std::max(worstCalls, millisecondsSince(calls));
        const double took = millisecondsSince(start);
        worst = std::max(worst, took);
        late += took > kFramePeriod ? 1 : 0;
        ++frame;
    }
    player.setAttack(false);
    state.counters["max_ms"] = worst;
    state.counters["sender_max_ms"] = worstCalls;
    state.counters["late"] = static_cast<double>(late);
    state.counters["sends"] = static_cast<double>(sends);
    state.counters["frames_sending"] = static_cast<double>(sending);
    state.counters["frames_kept"] = static_cast<double>(kept);
    state.counters["frames_table_waiting"] = static_cast<double>(tableWaiting);
}

void BM_PlayFrameWave20RepeaterNoSender(benchmark::State& state) {
    playFrames(state, nullptr);
}
BENCHMARK(BM_PlayFrameWave20RepeaterNoSender)->Unit(benchmark::kMillisecond);

// The frames with a sender to the server on port; counted also how long the sender took to stop,
// and the games it left in the outbox to send on the next run.
void sendTo(benchmark::State& state, int port) {
    const TempDir folder;
    std::optional<WorldSender> sender(
        std::in_place, WorldSettings{"http://127.0.0.1:" + std::to_string(port), "Zoe"},
        folder.path(), kQuick);
    playFrames(state, &*sender);
    const Clock::time_point stop = Clock::now();
    sender.reset();
    state.counters["stop_ms"] = millisecondsSince(stop);
    std::error_code error;
    const std::filesystem::directory_iterator outbox(folder / "outbox", error);
    state.counters["outbox_left"] =
        static_cast<double>(error ? 0 : std::distance(begin(outbox), end(outbox)));
}

void BM_PlayFrameWave20RepeaterAnsweringServer(benchmark::State& state) {
    AnsweringServer server;
    sendTo(state, server.port);
    state.counters["runs_taken"] = static_cast<double>(server.runs);
    state.counters["tables_given"] = static_cast<double>(server.tables);
}
BENCHMARK(BM_PlayFrameWave20RepeaterAnsweringServer)->Unit(benchmark::kMillisecond);

// Every send fails at once and is tried again after the short backoff.
void BM_PlayFrameWave20RepeaterRefusingServer(benchmark::State& state) {
    const MuteServer server(false);
    sendTo(state, server.port);
}
BENCHMARK(BM_PlayFrameWave20RepeaterRefusingServer)->Unit(benchmark::kMillisecond);

// The table asked for in the first frame waits for an answer until the client's bound on a call,
// and the games handed over meanwhile wait in memory behind it.
void BM_PlayFrameWave20RepeaterSilentServer(benchmark::State& state) {
    const MuteServer server(true);
    sendTo(state, server.port);
}
BENCHMARK(BM_PlayFrameWave20RepeaterSilentServer)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace quelvane

BENCHMARK_MAIN();
