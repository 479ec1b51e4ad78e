#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <map>
#include <set>
#include <thread>

#include "game/loop/WorldSenderFeed.h"
#include "game/online/RunDownload.h"
#include "game/online/WorldSender.h"
#include "game/online/WorldSettings.h"
#include "game/replay/ReplayFile.h"
#include "platform/WholeFile.h"
#include "server/support/GenuineReplays.h"
#include "server/support/WorldClient.h"
#include "server/support/WorldProcess.h"
#include "support/TempDir.h"

namespace quelvane::online {
namespace {

namespace fs = std::filesystem;
using Stage = WorldStatus::Stage;

// Bounds, not expectations: a verification takes a few seconds, more on a busy machine.
constexpr auto kBound = std::chrono::seconds(120);
// Quick retries, so that a test waits for the server rather than the backoff.
constexpr SendTiming kQuick{std::chrono::milliseconds(200), std::chrono::milliseconds(400),
                            std::chrono::milliseconds(100), std::chrono::milliseconds(200)};

Recording recordingOf(const std::vector<uint8_t>& bytes) {
    ReplayRead read = decodeReplay(bytes, 0);
    EXPECT_TRUE(read.recording) << read.error;
    return read.recording ? std::move(*read.recording) : Recording{};
}

// The status once it has reached one of the stages, or as it is when the bound has passed.
WorldStatus waitFor(const WorldSender& sender, std::initializer_list<Stage> stages) {
    const auto until = std::chrono::steady_clock::now() + kBound;
    WorldStatus status = sender.status();
    while (std::find(stages.begin(), stages.end(), status.stage) == stages.end() &&
           std::chrono::steady_clock::now() < until) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        status = sender.status();
    }
    return status;
}

// The table once the server's answer or its absence is known.
WorldTable waitForTable(const WorldSender& sender) {
    const auto until = std::chrono::steady_clock::now() + kBound;
    WorldTable table = sender.table();
    while (table.state == WorldTable::State::Waiting && std::chrono::steady_clock::now() < until) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        table = sender.table();
    }
    return table;
}

size_t filesIn(const fs::path& folder) {
    std::error_code error;
    size_t count = 0;
    for (const auto& entry : fs::directory_iterator(folder, error))
        count += entry.is_regular_file() ? 1 : 0;
    return count;
}

class WorldSenderTest : public testing::Test {
  protected:
    // The programs started here (the server, the replay tool recording the games), sanitized,
    // report leaks against the project's suppressions with whole stacks, as the test itself does.
    static void SetUpTestSuite() {
        setenv("LSAN_OPTIONS", "suppressions=" QUELVANE_SOURCE_DIR "/tests/lsan.supp", 0);
        setenv("ASAN_OPTIONS", "fast_unwind_on_malloc=0", 0);
    }
    std::unique_ptr<WorldProcess> start(const std::vector<std::string>& more = {}) {
        std::vector<std::string> options = {"--data", (folder_ / "data").string(), "--workers",
                                            "1"};
        options.insert(options.end(), more.begin(), more.end());
        auto world = std::make_unique<WorldProcess>(QUELVANE_WORLD, options, folder_.path());
        EXPECT_TRUE(world->ready()) << world->log();
        return world;
    }
    WorldSettings settingsFor(int port) const {
        return {"http://127.0.0.1:" + std::to_string(port), "Zoe"};
    }

    TempDir folder_;
    const fs::path replays_ = folder_ / "replays";
};

// A game that took a place goes by its typed name, one that took none by world.ini's: both reach
// the table, the status says where the last one stands, and each run's secret is kept.
TEST_F(WorldSenderTest, GamesSentAreCheckedAndPlaced) {
    const auto world = start();
    WorldSender sender(settingsFor(world->port()), replays_, kQuick);
    EXPECT_EQ(sender.status().stage, Stage::None);
    const GenuineGame typed = genuineGame(3, "ada");
    sender.send(recordingOf(typed.file), true);
    WorldStatus status = waitFor(sender, {Stage::Placed, Stage::Refused});
    ASSERT_EQ(status.stage, Stage::Placed) << statusLine(status);
    EXPECT_EQ(status.place, 1);
    EXPECT_EQ(statusLine(status), "World: this game is 1st on the world table");

    // The golden keys' game quit in play, with no name of its own.
    const std::vector<uint8_t> quit =
        platform::readWholeFile(
            fs::path(QUELVANE_SOURCE_DIR) / "tests/replay/corpus/replay/quit-in-play.qvr", 1u << 20)
            .bytes;
    ASSERT_EQ(recordingOf(quit).header.name, "");
    sender.send(recordingOf(quit), false);
    status = waitFor(sender, {Stage::Placed, Stage::Refused});
    ASSERT_EQ(status.stage, Stage::Placed) << statusLine(status);

    const auto client = world->client();
    const Answer table = getJson(*client, "/api/table");
    ASSERT_EQ(table.body["rows"].size(), 2u);
    std::map<std::string, int64_t> places;
    for (const auto& row : table.body["rows"])
        places[row.value("name", "")] = row.value("place", int64_t{0});
    EXPECT_EQ(places.count("ada"), 1u);
    EXPECT_EQ(places["Zoe"], status.place);
    EXPECT_EQ(filesIn(replays_ / "outbox"), 0u);
    EXPECT_EQ(filesIn(replays_ / "sent"), 2u);

    // A run is downloaded to be watched as it was sent, by its replay's address or its page's.
    const std::string server = settingsFor(world->port()).server;
    std::string error;
    EXPECT_EQ(downloadRun(server + "/api/runs/1/replay", error), typed.file) << error;
    EXPECT_EQ(downloadRun(server + "/runs/1", error), typed.file) << error;
    EXPECT_FALSE(downloadRun(server + "/api/runs/99/replay", error));
    EXPECT_EQ(error, "the server has no run 99");

    // The page on F3 marks the best run of the session.
    sender.askTable();
    const WorldTable shown = waitForTable(sender);
    ASSERT_EQ(shown.state, WorldTable::State::Shown) << shown.reason;
    ASSERT_EQ(shown.rows.size(), 2u);
    EXPECT_EQ(shown.rows[0].place, 1);
    const std::string page = worldTableText(shown).body;
    EXPECT_NE(page.find("*   1. "), std::string::npos) << page;
    const std::vector<uint8_t> secret =
        platform::readWholeFile(replays_ / "sent" / "1.secret", 100).bytes;
    EXPECT_EQ(secret.size(), 33u);
}

// The line of the last withdrawal asked for, once it is known, or as it is when the bound has
// passed.
std::string waitForWithdrawal(const WorldSender& sender) {
    const auto until = std::chrono::steady_clock::now() + kBound;
    std::string line = sender.table().withdrawal;
    while (line.starts_with("Withdrawing") && std::chrono::steady_clock::now() < until) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        line = sender.table().withdrawal;
    }
    return line;
}

// A run of the player's own goes with its kept secret, which goes with it; one whose secret the
// server does not know, or that has none kept, stays on the table.
TEST_F(WorldSenderTest, OwnRunsAreWithdrawnWithTheirSecretsAndOnlyWithThem) {
    const auto world = start();
    WorldSender sender(settingsFor(world->port()), replays_, kQuick);
    for (const int n : {3, 4}) {
        sender.send(recordingOf(genuineGame(n, "ada").file), true);
        const WorldStatus status = waitFor(sender, {Stage::Placed, Stage::Refused});
        ASSERT_EQ(status.stage, Stage::Placed) << statusLine(status);
    }
    sender.askTable();
    ASSERT_EQ(waitForTable(sender).own, (std::set<int64_t>{1, 2}));

    const fs::path secret2 = replays_ / "sent" / "2.secret";
    std::ofstream(secret2) << "0123456789abcdef0123456789abcdef\n";
    sender.withdraw(2);
    EXPECT_EQ(waitForWithdrawal(sender), "The server kept run 2: the secret is not this run's");
    EXPECT_TRUE(fs::exists(secret2));

    sender.withdraw(1);
    EXPECT_EQ(waitForWithdrawal(sender), "Run 1 is off the world table.");
    EXPECT_FALSE(fs::exists(replays_ / "sent" / "1.secret"));
    const WorldTable after = waitForTable(sender);
    ASSERT_EQ(after.rows.size(), 1u);
    EXPECT_EQ(after.rows[0].id, 2);
    EXPECT_EQ(after.own, std::set<int64_t>{2});
    EXPECT_EQ(worldTableText(after).notice, "Run 1 is off the world table.");
    EXPECT_EQ(tableIds(*world->client()), (std::multiset<int64_t>{2}));

    sender.withdraw(1);
    EXPECT_EQ(waitForWithdrawal(sender), "No withdrawal secret is kept for run 1.");
}

// With the server away the game waits in the outbox, through a restart of the game too, and
// reaches the table once the server is back; a game refused for good is not sent again.
TEST_F(WorldSenderTest, AGameWaitsForTheServerAndARefusedOneIsDropped) {
    // A port the server had, and has no more.
    int port = 0;
    {
        const auto first = start();
        port = first->port();
        first->kill();
    }
    const GenuineGame game = genuineGame(4, "bea");
    {
        WorldSender sender(settingsFor(port), replays_, kQuick);
        sender.send(recordingOf(game.file), true);
        const WorldStatus kept = waitFor(sender, {Stage::Kept});
        ASSERT_EQ(kept.stage, Stage::Kept);
        EXPECT_NE(statusLine(kept).find("kept to send later"), std::string::npos);
        sender.askTable();
        const WorldTable away = waitForTable(sender);
        EXPECT_EQ(away.state, WorldTable::State::Unreachable);
        EXPECT_EQ(worldTableText(away).notice.rfind("The server cannot be reached: ", 0), 0u);
    }
    EXPECT_EQ(filesIn(replays_ / "outbox"), 1u);

    const auto world = start({"--listen", "127.0.0.1:" + std::to_string(port)});
    WorldSender sender(settingsFor(port), replays_, kQuick);
    const auto client = world->client();
    const auto until = std::chrono::steady_clock::now() + kBound;
    while (tableIds(*client).empty() && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(tableIds(*client), (std::multiset<int64_t>{1}));
    EXPECT_EQ(filesIn(replays_ / "outbox"), 0u);

    Recording other = recordingOf(game.file);
    other.header.rulesVersion ^= 1;
    sender.send(std::move(other), true);
    const WorldStatus refused = waitFor(sender, {Stage::Refused, Stage::Placed});
    ASSERT_EQ(refused.stage, Stage::Refused);
    EXPECT_NE(refused.reason.find("rules"), std::string::npos) << refused.reason;
    EXPECT_EQ(filesIn(replays_ / "outbox"), 0u);
    EXPECT_EQ(getJson(*client, "/api/runs/2").status, 404);
}

// A server that takes connections and never answers: a game handed over while a question to it
// hangs is still kept when the game ends.
TEST_F(WorldSenderTest, AGameHandedOverWhileTheServerHangsIsKeptAtTheEnd) {
    const int silent = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ASSERT_EQ(::bind(silent, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(::listen(silent, 8), 0);
    ASSERT_EQ(::getsockname(silent, reinterpret_cast<sockaddr*>(&address), &length), 0);
    const Recording game = recordingOf(
        platform::readWholeFile(
            fs::path(QUELVANE_SOURCE_DIR) / "tests/replay/corpus/replay/quit-in-play.qvr", 1u << 20)
            .bytes);
    {
        WorldSender sender(settingsFor(ntohs(address.sin_port)), replays_, kQuick);
        sender.askTable();
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        sender.send(game, false);
    }
    ::close(silent);
    EXPECT_EQ(filesIn(replays_ / "outbox"), 1u);
}

TEST(WorldSettingsTest, AFileWithAnyFaultIsNoWorldTable) {
    std::vector<std::string> problems;
    const auto good = parseWorldSettings(
        "# mine\nserver = https://example.org:8443/\nname = Zo\xc3\xab\n", "world.ini", problems);
    ASSERT_TRUE(good);
    EXPECT_EQ(good->server, "https://example.org:8443");
    EXPECT_EQ(good->name, "Zo\xeb");
    EXPECT_TRUE(problems.empty());

    EXPECT_FALSE(parseWorldSettings("server = ftp://x\nname = a\nport 8\n", "world.ini", problems));
    EXPECT_EQ(problems, (std::vector<std::string>{
                            "world.ini:1: the server's address begins with http:// or https://",
                            "world.ini:3: expected KEY = VALUE, got 'port 8'"}));
    problems.clear();
    EXPECT_FALSE(parseWorldSettings("name = " + std::string(40, 'a'), "w", problems));
    EXPECT_EQ(problems.size(), 1u);
    problems.clear();
    EXPECT_FALSE(readWorldSettings("/nonexistent/world.ini", problems));
    EXPECT_TRUE(problems.empty());
}

}  // namespace
}  // namespace quelvane::online
