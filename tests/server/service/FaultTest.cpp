#include <gtest/gtest.h>
#include <signal.h>

#include <thread>

#include "ServiceFixture.h"
#include "server/support/ForgedFiles.h"
#include "server/support/GenuineReplays.h"

namespace quelvane {
namespace {

// A dead server's runs are claimed again once their leases run out: shorter than the default, so
// that the test waits less. A live worker renews its lease every third of it, so a verification
// may take longer than the lease, as a sanitized one does.
const std::string kLease = "20";

// Sends the genuine games and a forgery that only playing shows: the ids of the games, then the
// forgery's last.
std::vector<int64_t> sendRuns(httplib::Client& client, const std::vector<GenuineGame>& games) {
    std::vector<int64_t> ids;
    for (const GenuineGame& game : games) {
        const Answer answer = submitRun(client, game.file);
        EXPECT_EQ(answer.status, 202) << answer.body;
        ids.push_back(answer.body.value("id", int64_t{0}));
    }
    const Answer forged = submitRun(client, raisedScore(games[0].file));
    EXPECT_EQ(forged.status, 202) << forged.body;
    ids.push_back(forged.body.value("id", int64_t{0}));
    return ids;
}

// Every run sent ends as it must, whatever was killed on the way: each game verified with its
// score and on the table once, the forgery refused.
void expectEveryRunEnded(httplib::Client& client, const std::vector<GenuineGame>& games,
                         const std::vector<int64_t>& ids) {
    const auto runs = settle(client, std::set<int64_t>(ids.begin(), ids.end()), kSettleBound);
    const std::multiset<int64_t> table = tableIds(client);
    size_t verified = 0;
    for (size_t i = 0; i < games.size(); ++i) {
        const nlohmann::json& run = runs.at(ids[i]);
        EXPECT_TRUE(endedAsGenuine(run, games[i].header.score)) << run;
        EXPECT_EQ(table.count(ids[i]), isVerified(run) ? 1u : 0u) << run;
        verified += isVerified(run);
    }
    EXPECT_EQ(runs.at(ids.back()).value("state", ""), "refused") << runs.at(ids.back());
    EXPECT_EQ(table.size(), verified);
}

// The first worker child seen verifying, within a bound; none if it never shows.
pid_t verifyingWorker(const WorldProcess& world) {
    for (int look = 0; look < 3000; ++look) {
        const std::vector<pid_t> workers = world.verifying();
        if (!workers.empty())
            return workers.front();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return 0;
}

TEST_P(ServiceTest, AWorkerKilledInTheMiddleOfAVerificationLosesNothing) {
    const std::vector<GenuineGame> games = genuineGames(3);
    auto world = start({"--workers", "1"});
    ASSERT_TRUE(world->ready());
    auto client = world->client();
    const std::vector<int64_t> ids = sendRuns(*client, games);
    const pid_t worker = verifyingWorker(*world);
    ASSERT_GT(worker, 0) << "no worker was seen verifying";
    ASSERT_EQ(::kill(worker, SIGKILL), 0);
    expectEveryRunEnded(*client, games, ids);
}

TEST_P(ServiceTest, TheServerKilledWithRunsQueuedLosesNothing) {
    const std::vector<GenuineGame> games = genuineGames(kShort ? 2 : 4);
    auto world = start({"--workers", "1", "--lease", kLease});
    ASSERT_TRUE(world->ready());
    const std::vector<int64_t> ids = sendRuns(*world->client(), games);
    ASSERT_GT(verifyingWorker(*world), 0) << "no worker was seen verifying";
    world->kill();
    world = start({"--workers", "2", "--lease", kLease});
    ASSERT_TRUE(world->ready());
    expectEveryRunEnded(*world->client(), games, ids);
}

}  // namespace
}  // namespace quelvane
