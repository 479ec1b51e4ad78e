#include <gtest/gtest.h>

#include <regex>
#include <set>

#include "ServiceFixture.h"
#include "game/replay/ReplayFile.h"
#include "server/store/Store.h"
#include "server/support/ForgedFiles.h"
#include "server/support/GenuineReplays.h"

namespace quelvane {
namespace {

using nlohmann::json;

std::string runPath(int64_t id) {
    return "/api/runs/" + std::to_string(id);
}

int withdraw(httplib::Client& client, int64_t id, const std::string& secret) {
    const auto answer = client.Delete(runPath(id), httplib::Headers{{"X-Run-Secret", secret}});
    return answer ? answer->status : 0;
}

// The file of a run as the service hands it out; empty when it does not.
std::string replayOf(httplib::Client& client, int64_t id) {
    const auto answer = client.Get(runPath(id) + "/replay");
    return answer && answer->status == 200 ? answer->body : "";
}

// Every file of the forged set is answered as it must be, each refusal with its reason; genuine
// games are kept, verified with the score they claim, and placed on the table once each.
TEST_P(ServiceTest, ForgedFilesAreRefusedAndGenuineGamesVerified) {
    const std::vector<GenuineGame> genuine = genuineGames(3);
    auto world = start({"--workers", "2", "--rate", "1000"});
    ASSERT_TRUE(world->ready());
    auto client = world->client();
    const std::string rules = getJson(*client, "/health").body.value("rules", "");
    ASSERT_TRUE(std::regex_match(rules, std::regex("[0-9a-f]{16}"))) << rules;

    std::map<int64_t, const GenuineGame*> genuineIds;
    for (const GenuineGame& game : genuine) {
        const Answer answer = submitRun(*client, game.file);
        ASSERT_EQ(answer.status, 202) << answer.body;
        EXPECT_EQ(answer.body.value("state", ""), "queued");
        EXPECT_TRUE(std::regex_match(answer.body.value("secret", ""), std::regex("[0-9a-f]{32}")));
        genuineIds[answer.body.value("id", int64_t{0})] = &game;
    }
    EXPECT_EQ(genuineIds.size(), genuine.size()) << "two games were given one id";

    std::map<int64_t, std::string> playedForgeries;
    for (const ForgedFile& forged : forgedFiles(genuine[0].file)) {
        const Answer answer = submitRun(*client, forged.bytes);
        EXPECT_EQ(answer.status, forged.status) << forged.what << ": " << answer.body;
        if (answer.status == 202) {
            playedForgeries[answer.body.value("id", int64_t{0})] = forged.what;
            continue;
        }
        const std::string reason = answer.body.value("error", "");
        EXPECT_NE(reason, "") << forged.what;
        EXPECT_NE(reason.find(forged.reasonHas), std::string::npos)
            << forged.what << ": " << reason;
        if (answer.status == 409) {
            EXPECT_EQ(answer.body.value("rules", ""), rules) << forged.what;
        }
    }

    std::set<int64_t> ids;
    for (const auto& [id, game] : genuineIds)
        ids.insert(id);
    for (const auto& [id, what] : playedForgeries)
        ids.insert(id);
    const auto runs = settle(*client, ids, kSettleBound);
    for (const auto& [id, game] : genuineIds) {
        const json& run = runs.at(id);
        EXPECT_EQ(run.value("state", ""), "verified") << run;
        EXPECT_EQ(run.value("score", int64_t{-1}), game->header.score) << run;
        EXPECT_EQ(run.value("name", ""), game->header.name) << run;
        EXPECT_EQ(run.value("length_ms", int64_t{0}), game->header.milliseconds) << run;
        EXPECT_EQ(run.value("rules", ""), rules) << run;
        EXPECT_TRUE(run.contains("place")) << run;
    }
    for (const auto& [id, what] : playedForgeries) {
        const json& run = runs.at(id);
        EXPECT_EQ(run.value("state", ""), "refused") << what << ": " << run;
        EXPECT_NE(run.value("reason", ""), "") << what << ": " << run;
    }
    const std::multiset<int64_t> table = tableIds(*client);
    EXPECT_EQ(table.size(), genuine.size());
    for (const auto& [id, game] : genuineIds)
        EXPECT_EQ(table.count(id), 1u) << "run " << id;
}

// The same file sent again is its first run; the same game renamed at the name prompt is a copy
// of it, and the table keeps the first name alone.
TEST_P(ServiceTest, ACopyIsAnsweredWithTheFirstRun) {
    const GenuineGame first = genuineGames(1)[0];
    const GenuineGame renamed = genuineGame(0, "thief");
    ASSERT_NE(first.header.name, renamed.header.name);
    ASSERT_EQ(first.header.score, renamed.header.score);
    auto world = start({"--workers", "2"});
    ASSERT_TRUE(world->ready());
    auto client = world->client();

    const Answer sent = submitRun(*client, first.file);
    ASSERT_EQ(sent.status, 202) << sent.body;
    const int64_t id = sent.body.value("id", int64_t{0});
    const Answer again = submitRun(*client, first.file);
    EXPECT_EQ(again.status, 200) << again.body;
    EXPECT_EQ(again.body.value("id", int64_t{0}), id);
    EXPECT_FALSE(again.body.contains("secret")) << "a resend must not learn the secret";

    settle(*client, {id}, kSettleBound);
    const Answer copy = submitRun(*client, renamed.file);
    ASSERT_TRUE(copy.status == 200 || copy.status == 202) << copy.body;
    const int64_t copyId = copy.body.value("id", int64_t{0});
    const json copyRun = settle(*client, {copyId}, kSettleBound).at(copyId);
    EXPECT_TRUE(copyId == id || copyRun.value("same_as", int64_t{0}) == id) << copyRun;

    const Answer table = getJson(*client, "/api/table");
    ASSERT_EQ(table.status, 200);
    ASSERT_EQ(table.body["rows"].size(), 1u) << table.body;
    EXPECT_EQ(table.body["rows"][0].value("id", int64_t{0}), id);
    EXPECT_EQ(table.body["rows"][0].value("name", ""), first.header.name);
}

// A run is withdrawn with its secret alone; an operator's hiding takes it from the table and its
// file from everyone.
TEST_P(ServiceTest, WithdrawnAndHiddenRunsAreGone) {
    const std::vector<GenuineGame> games = genuineGames(2);
    auto world = start({"--workers", "2"});
    ASSERT_TRUE(world->ready());
    auto client = world->client();
    std::vector<Answer> sent;
    for (const GenuineGame& game : games) {
        sent.push_back(submitRun(*client, game.file));
        ASSERT_EQ(sent.back().status, 202) << sent.back().body;
    }
    const int64_t withdrawn = sent[0].body.value("id", int64_t{0});
    const int64_t hidden = sent[1].body.value("id", int64_t{0});
    settle(*client, {withdrawn, hidden}, kSettleBound);
    ASSERT_EQ(tableIds(*client), (std::multiset<int64_t>{withdrawn, hidden}));

    const std::string secret = sent[0].body.value("secret", "");
    const std::string wrong(32, secret.front() == '0' ? '1' : '0');
    EXPECT_EQ(withdraw(*client, withdrawn, wrong), 403);
    EXPECT_EQ(withdraw(*client, withdrawn + hidden, secret), 404);
    EXPECT_EQ(withdraw(*client, withdrawn, secret), 204);
    EXPECT_EQ(getJson(*client, runPath(withdrawn)).status, 404);
    EXPECT_EQ(replayOf(*client, withdrawn), "");

    EXPECT_EQ(replayOf(*client, hidden), std::string(games[1].file.begin(), games[1].file.end()));
    EXPECT_EQ(runOnStore({"--hide", std::to_string(hidden)}), 0);
    EXPECT_EQ(replayOf(*client, hidden), "");
    EXPECT_EQ(getJson(*client, runPath(hidden)).status, 404);
    EXPECT_TRUE(tableIds(*client).empty());
}

// Past its rate an address is told to come back later, and when.
TEST_P(ServiceTest, SubmissionsPastTheRateAreTurnedAway) {
    const std::vector<uint8_t> junk = {'n', 'o', 't', ' ', 'a', ' ', 'r', 'u', 'n'};
    auto world = start({"--workers", "0", "--rate", "3"});
    ASSERT_TRUE(world->ready());
    auto client = world->client();
    std::vector<int> statuses;
    Answer turnedAway;
    for (int i = 0; i < 10 && turnedAway.status != 429; ++i) {
        const Answer answer = submitRun(*client, junk);
        statuses.push_back(answer.status);
        if (answer.status == 429)
            turnedAway = answer;
    }
    ASSERT_EQ(turnedAway.status, 429) << "never turned away";
    EXPECT_GE(statuses.size(), 4u) << "turned away within its rate";
    EXPECT_EQ(std::count(statuses.begin(), statuses.end() - 1, 400),
              static_cast<long>(statuses.size()) - 1);
    EXPECT_GT(std::atoi(turnedAway.retryAfter.c_str()), 0) << turnedAway.retryAfter;
    EXPECT_EQ(getJson(*client, "/health").status, 200) << "the rate limits submissions alone";
}

// At an upgrade, runs of the old rules still queued are refused with that reason, and their
// table stays readable.
TEST_P(ServiceTest, RunsOfOtherRulesLeftQueuedAreRefusedAtStart) {
    const std::vector<uint8_t> old = otherRules(genuineGames(1)[0].file);
    const uint64_t oldRules = peekReplayHeader(old)->rulesVersion;
    int64_t id = 0;
    {
        const std::unique_ptr<server::Store> store =
            postgresUrl_.empty() ? server::openSqliteStore((folder_ / "data").string())
                                 : server::openPostgresStore(postgresUrl_);
        server::NewRun run;
        run.file = old;
        run.fileDigest = std::string(64, 'a');
        run.rules = oldRules;
        run.name = "elder";
        run.secretDigest = std::string(64, 'b');
        id = store->submit(run, 10)->id;
    }
    auto world = start({"--workers", "1"});
    ASSERT_TRUE(world->ready());
    auto client = world->client();
    const nlohmann::json run = getJson(*client, runPath(id)).body;
    EXPECT_EQ(run.value("state", ""), "refused") << run;
    EXPECT_NE(run.value("reason", "").find("rules"), std::string::npos) << run;
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(oldRules));
    const Answer table = getJson(*client, std::string("/api/table?rules=") + hex);
    EXPECT_EQ(table.status, 200);
    EXPECT_EQ(table.body.value("rules", ""), hex);
}

// Sanitized, the service runs on one store: each store is tested sanitized on its own, and the
// service above them is the same.
INSTANTIATE_TEST_SUITE_P(Stores, ServiceTest,
                         testing::ValuesIn(kShort ? std::vector<StoreKind>{StoreKind::Sqlite}
                                                  : std::vector<StoreKind>{StoreKind::Sqlite,
                                                                           StoreKind::Postgres}),
                         storeName);

}  // namespace
}  // namespace quelvane
