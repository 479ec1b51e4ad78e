#include <gtest/gtest.h>

#include <algorithm>
#include <latch>
#include <map>
#include <set>
#include <thread>

#include "server/store/Store.h"
#include "server/support/PostgresCluster.h"
#include "support/TempDir.h"

using namespace quelvane;
using namespace quelvane::server;
using namespace std::chrono_literals;

namespace {

const uint64_t kRules = 0xfedcba9876543210ull;  // past the signed range, as a version may be
const uint64_t kOldRules = 7;
const char* const kUnfinishedTwice = "its verification did not finish twice";

enum class Database { Sqlite, Postgres };

// One server for the whole program, each test on a database of its own.
PostgresCluster& cluster() {
    static PostgresCluster shared;
    return shared;
}

// A run whose file is told apart by seed, with bytes of every value in it.
NewRun newRun(int seed, uint64_t rules = kRules, int64_t claimed = 100) {
    NewRun run;
    for (int i = 0; i < 700; ++i)
        run.file.push_back(static_cast<uint8_t>(i * 7 + seed));
    run.fileDigest = "file-" + std::to_string(seed);
    run.rules = rules;
    run.name = "PILOT" + std::to_string(seed);
    run.claimedScore = claimed;
    run.lengthMs = 60000 + seed;
    run.playedAt = 1700000000 + seed;
    run.receivedAt = 1800000000 + seed;
    run.secretDigest = "secret-" + std::to_string(seed);
    return run;
}

Outcome verified(int64_t score, const std::string& digest) {
    return Outcome{true, "", score, "", digest, 0.5};
}

class StoreTest : public testing::TestWithParam<Database> {
  protected:
    void SetUp() override {
        if (GetParam() == Database::Postgres)
            url_ = cluster().newDatabase();
        store_ = open();
    }

    // The same database again, as another process would open it.
    std::unique_ptr<Store> open() {
        return GetParam() == Database::Sqlite ? openSqliteStore((dir_ / "data").string())
                                              : openPostgresStore(url_);
    }

    int64_t submit(int seed, uint64_t rules = kRules, int64_t claimed = 100) {
        return store_->submit(newRun(seed, rules, claimed), 1000).value().id;
    }

    // Submits, claims and verifies runs of these scores, each its own game; their ids in order.
    std::vector<int64_t> verifiedRuns(const std::vector<int64_t>& scores) {
        std::vector<int64_t> ids;
        for (int64_t score : scores) {
            const int64_t id = submit(static_cast<int>(ids.size()) + 1, kRules, score);
            EXPECT_EQ(store_->claim("w", kRules, 60s).value().id, id);
            EXPECT_TRUE(store_->finish(id, "w", verified(score, "game-" + std::to_string(id))));
            ids.push_back(id);
        }
        return ids;
    }

    TempDir dir_;
    std::string url_;
    std::unique_ptr<Store> store_;
};

TEST_P(StoreTest, KeepsAFileOnceAndCapsTheQueue) {
    const int64_t first = store_->submit(newRun(1), 2).value().id;
    auto resent = newRun(1);
    resent.name = "OTHER";
    const auto again = store_->submit(resent, 2).value();
    EXPECT_TRUE(again.existing);
    EXPECT_EQ(again.id, first);

    // The game's names are Latin-1.
    auto zoe = newRun(2);
    zoe.name = "Zo\xEB";
    const int64_t second = store_->submit(zoe, 2).value().id;
    EXPECT_NE(second, first);
    EXPECT_FALSE(store_->submit(newRun(3), 2).has_value()) << "the queue holds two already";
    EXPECT_TRUE(store_->submit(newRun(1), 2).value().existing) << "a resend costs no room";

    const auto reopened = open();
    const auto info = reopened->run(first).value();
    EXPECT_EQ(info.state, RunState::Queued);
    EXPECT_EQ(info.name, "PILOT1") << "the first name stands";
    EXPECT_EQ(reopened->run(second)->name, "Zo\xEB");
    EXPECT_EQ(info.score, 100);
    EXPECT_EQ(info.rules, kRules);
    EXPECT_EQ(info.lengthMs, 60001u);
    EXPECT_EQ(info.playedAt, 1700000001);
    EXPECT_EQ(reopened->replay(first).value(), newRun(1).file);
    EXPECT_FALSE(reopened->run(first + 100).has_value());
}

TEST_P(StoreTest, LeasesRunsOldestFirstAndRefusesASecondFailedAttempt) {
    const int64_t a = submit(1), b = submit(2), c = submit(3), d = submit(4);
    const auto claimA = store_->claim("w1", kRules, 60s).value();
    EXPECT_EQ(claimA.id, a);
    EXPECT_EQ(claimA.attempt, 1);
    EXPECT_EQ(claimA.rules, kRules);
    EXPECT_EQ(claimA.file, newRun(1).file);
    EXPECT_EQ(store_->run(a)->state, RunState::Verifying);

    // A lease that ran out is claimed again, and its first worker's verdict no longer counts.
    EXPECT_EQ(store_->claim("w1", kRules, 0s).value().id, b);
    const auto reclaimed = store_->claim("w2", kRules, 0s).value();
    EXPECT_EQ(reclaimed.id, b);
    EXPECT_EQ(reclaimed.attempt, 2);
    EXPECT_FALSE(store_->finish(b, "w1", verified(5, "game-b")));
    // Its second lease ran out too: refused, never leased a third time.
    EXPECT_EQ(store_->claim("w3", kRules, 60s).value().id, c);
    EXPECT_EQ(store_->run(b)->state, RunState::Refused);
    EXPECT_EQ(store_->run(b)->reason, kUnfinishedTwice);

    // Released twice: refused with the reason the worker gave.
    store_->release(c, "w3", "");
    EXPECT_EQ(store_->run(c)->state, RunState::Queued);
    EXPECT_EQ(store_->claim("w4", kRules, 60s).value().attempt, 2);
    store_->release(c, "w4", "it ran past its time");
    EXPECT_EQ(store_->run(c)->state, RunState::Refused);
    EXPECT_EQ(store_->run(c)->reason, "it ran past its time");

    // Given back by a server that stopped: its attempt does not count.
    EXPECT_EQ(store_->claim("w5", kRules, 60s).value().id, d);
    store_->giveBack(d, "w5");
    EXPECT_EQ(store_->run(d)->state, RunState::Queued);
    EXPECT_EQ(store_->claim("w6", kRules, 60s).value().attempt, 1);
    EXPECT_FALSE(store_->claim("w5", kRules, 60s).has_value()) << "the rest are leased";
    EXPECT_TRUE(
        store_->finish(a, "w1", Outcome{false, "its score is not the game's", 0, "", "", 1}));
    EXPECT_EQ(store_->run(a)->reason, "its score is not the game's");

    const auto counts = store_->counts();
    EXPECT_EQ(counts.queued, 0);
    EXPECT_EQ(counts.verifying, 1);
    EXPECT_EQ(counts.refused, 3);
    EXPECT_EQ(counts.verdicts, 1);
    EXPECT_DOUBLE_EQ(counts.verificationSeconds, 1.0);
}

TEST_P(StoreTest, ARenewedLeaseKeepsItsRunUntilItIsLost) {
    const int64_t id = submit(1);
    ASSERT_EQ(store_->claim("w1", kRules, 0s).value().id, id);
    EXPECT_TRUE(store_->renew(id, "w1", 60s));
    EXPECT_FALSE(store_->claim("w2", kRules, 60s).has_value()) << "renewed, it is not free";
    EXPECT_FALSE(store_->renew(id, "w2", 60s)) << "only its worker renews it";

    ASSERT_TRUE(store_->renew(id, "w1", 0s));
    EXPECT_EQ(store_->claim("w2", kRules, 60s).value().id, id);
    EXPECT_FALSE(store_->renew(id, "w1", 60s)) << "lost to w2";
    EXPECT_TRUE(store_->finish(id, "w2", verified(100, "game")));
    EXPECT_FALSE(store_->renew(id, "w2", 60s)) << "verified, it has no lease";
    EXPECT_EQ(store_->run(id)->state, RunState::Verified);
}

TEST_P(StoreTest, WorkersClaimingAtOnceNeverShareARun) {
    const int runs = 60;
    for (int i = 1; i <= runs; ++i)
        submit(i);
    std::vector<std::vector<int64_t>> claimed(4);
    std::vector<std::thread> workers;
    workers.reserve(claimed.size());
    for (size_t w = 0; w < claimed.size(); ++w)
        workers.emplace_back([&, w] {
            const auto name = "w" + std::to_string(w);
            while (auto claim = store_->claim(name, kRules, 60s))
                claimed[w].push_back(claim->id);
        });
    for (auto& worker : workers)
        worker.join();
    std::set<int64_t> distinct;
    size_t total = 0;
    for (const auto& ids : claimed) {
        distinct.insert(ids.begin(), ids.end());
        total += ids.size();
    }
    EXPECT_EQ(total, static_cast<size_t>(runs));
    EXPECT_EQ(distinct.size(), static_cast<size_t>(runs));
}

TEST_P(StoreTest, ACopyVerifiedFirstGivesWayToTheRunSentFirst) {
    const int64_t original = submit(1), copy = submit(2);
    store_->claim("w", kRules, 60s).value();
    store_->claim("w", kRules, 60s).value();
    EXPECT_TRUE(store_->finish(copy, "w", verified(900, "game")));
    EXPECT_TRUE(store_->finish(original, "w", verified(900, "game")));
    EXPECT_EQ(store_->run(original)->state, RunState::Verified);
    const auto info = store_->run(copy).value();
    EXPECT_EQ(info.state, RunState::Refused);
    EXPECT_EQ(info.sameAs, original);
    EXPECT_EQ(store_->table(kRules, 10, std::nullopt, 0).size(), 1u);
}

TEST_P(StoreTest, CopiesFinishedAtOnceEnterTheTableOnce) {
    // Four workers finish ten runs each at once, the same five games in the same order.
    const int workers = 4, each = 10, games = 5;
    std::vector<std::vector<int64_t>> leased(workers);
    std::map<int64_t, std::string> gameOf;
    for (int i = 0; i < workers * each; ++i)
        submit(i + 1);
    for (int i = 0; i < workers * each; ++i) {
        const int w = i % workers;
        leased[w].push_back(store_->claim("w" + std::to_string(w), kRules, 60s)->id);
        gameOf[leased[w].back()] = "game-" + std::to_string(leased[w].size() % games);
    }
    const int64_t otherRules = submit(0, kOldRules);
    store_->claim("w", kOldRules, 60s).value();
    EXPECT_TRUE(store_->finish(otherRules, "w", verified(900, "game-0")))
        << "the same game under other rules is another table's";

    std::latch ready(workers);
    std::vector<std::thread> threads;
    threads.reserve(workers);
    for (int w = 0; w < workers; ++w)
        threads.emplace_back([&, w] {
            ready.arrive_and_wait();
            for (int64_t id : leased[w])
                EXPECT_TRUE(store_->finish(id, "w" + std::to_string(w), verified(900, gameOf[id])));
        });
    for (auto& thread : threads)
        thread.join();

    std::map<std::string, int64_t> entered;  // a game's one verified run
    std::map<std::string, int64_t> sentFirst;
    std::vector<RunInfo> copies;
    for (const auto& [id, game] : gameOf) {
        sentFirst.emplace(game, id);
        const auto info = store_->run(id).value();
        if (info.state == RunState::Verified)
            EXPECT_TRUE(entered.emplace(game, id).second) << game << " entered twice";
        else
            copies.push_back(info);
    }
    EXPECT_EQ(entered, sentFirst) << "each game stands under the run sent first";
    for (const auto& copy : copies) {
        const int64_t first = entered[gameOf[copy.id]];
        EXPECT_EQ(copy.state, RunState::Refused);
        EXPECT_EQ(copy.sameAs, first);
        EXPECT_EQ(copy.reason, "the same game as run " + std::to_string(first));
    }
    EXPECT_EQ(store_->table(kRules, 100, std::nullopt, 0).size(), static_cast<size_t>(games));
}

TEST_P(StoreTest, TablePlacesRunsAndLeavesOutHiddenAndWithdrawnOnes) {
    // Places: 90 (first received) 1, 90 2, 80 3, 70 4, 60 5, 50 6, 40 7.
    const auto ids = verifiedRuns({50, 90, 70, 90, 40, 80, 60});
    const auto placeOf = [&](size_t index) { return store_->run(ids[index])->place.value(); };
    EXPECT_EQ(placeOf(1), 1);
    EXPECT_EQ(placeOf(3), 2);
    EXPECT_EQ(placeOf(4), 7);

    const auto rows = store_->table(kRules, 2, ids[0], 1);  // 50 is sixth: 5, 6 and 7 around it
    std::vector<int64_t> places, shown;
    for (const auto& row : rows) {
        places.push_back(row.place);
        shown.push_back(row.id);
    }
    EXPECT_EQ(places, (std::vector<int64_t>{1, 2, 5, 6, 7}));
    EXPECT_EQ(shown, (std::vector<int64_t>{ids[1], ids[3], ids[6], ids[0], ids[4]}));
    EXPECT_EQ(rows[0].name, "PILOT2");
    EXPECT_EQ(rows[0].score, 90);
    EXPECT_EQ(rows[0].lengthMs, 60002u);
    EXPECT_EQ(rows[0].playedAt, 1700000002);
    EXPECT_TRUE(store_->table(kOldRules, 10, ids[0], 1).empty());

    EXPECT_TRUE(store_->hide(ids[1]));
    EXPECT_FALSE(store_->hide(ids.back() + 1));
    EXPECT_TRUE(store_->run(ids[1])->hidden);
    EXPECT_FALSE(store_->run(ids[1])->place.has_value());
    EXPECT_FALSE(store_->replay(ids[1]).has_value());
    EXPECT_EQ(placeOf(3), 1);
    // A wrong hide is mended: the run takes its place again.
    EXPECT_TRUE(store_->unhide(ids[1]));
    EXPECT_FALSE(store_->unhide(ids.back() + 1));
    EXPECT_EQ(placeOf(1), 1);
    EXPECT_EQ(store_->replay(ids[1]).value(), newRun(2).file);
    ASSERT_TRUE(store_->hide(ids[1]));

    EXPECT_FALSE(store_->withdraw(ids[3], "secret-1"));
    EXPECT_TRUE(store_->withdraw(ids[3], "secret-4"));
    EXPECT_FALSE(store_->run(ids[3]).has_value());
    EXPECT_EQ(placeOf(5), 1);
    const auto left = store_->table(kRules, 10, ids[1], 1);
    EXPECT_EQ(left.size(), 5u) << "neither the hidden nor the withdrawn run, nor rows around one";
    EXPECT_TRUE(std::none_of(left.begin(), left.end(), [&](const TableRow& row) {
        return row.id == ids[1] || row.id == ids[3];
    }));
    EXPECT_EQ(store_->submit(newRun(4), 1000).value().existing, false)
        << "a withdrawn file is no longer kept";
}

TEST_P(StoreTest, AnUpgradeRefusesTheOldRulesQueueAndKeepsTheirTable) {
    const uint64_t kOlderRules = 5;
    const int64_t onTable = submit(1, kOldRules, 300);
    store_->claim("w", kOldRules, 60s).value();
    ASSERT_TRUE(store_->finish(onTable, "w", verified(300, "old")));
    const int64_t leased = submit(2, kOldRules), queued = submit(3, kOlderRules);
    const int64_t current = submit(4);
    // Servers of two versions share the queue: each claims its own rules' runs only.
    EXPECT_EQ(store_->claim("new", kRules, 0s).value().id, current);
    EXPECT_EQ(store_->claim("old", kOldRules, 60s).value().id, leased);
    EXPECT_FALSE(store_->claim("old", kOldRules, 60s).has_value());
    EXPECT_EQ(store_->run(queued)->state, RunState::Queued);

    const auto reason = [](uint64_t rules) { return "made for rules " + std::to_string(rules); };
    EXPECT_EQ(store_->refuseOtherRules(kRules, reason), 2);
    EXPECT_EQ(store_->run(leased)->reason, "made for rules 7");
    EXPECT_EQ(store_->run(queued)->reason, "made for rules 5");
    for (int64_t id : {leased, queued})
        EXPECT_EQ(store_->run(id)->state, RunState::Refused);
    EXPECT_FALSE(store_->finish(leased, "old", verified(10, "late")));
    EXPECT_EQ(store_->run(current)->state, RunState::Verifying);
    EXPECT_EQ(store_->claim("new", kRules, 60s).value().id, current);
    EXPECT_EQ(store_->table(kOldRules, 10, std::nullopt, 0).size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Both, StoreTest, testing::Values(Database::Sqlite, Database::Postgres),
                         [](const auto& info) {
                             return info.param == Database::Sqlite ? "Sqlite" : "Postgres";
                         });

TEST(PostgresStoreTest, AStoppedDatabaseIsUnavailableUntilItReturns) {
    const auto store = openPostgresStore(cluster().newDatabase());
    const int64_t id = store->submit(newRun(1), 10).value().id;
    cluster().stop();
    EXPECT_THROW(store->run(id), StoreUnavailable);
    EXPECT_THROW(store->submit(newRun(2), 10), StoreUnavailable);
    cluster().start();
    EXPECT_EQ(store->run(id).value().name, "PILOT1");
    EXPECT_FALSE(store->submit(newRun(2), 10).value().existing);

    // Connections kept from before a restart do not cost a call either.
    cluster().stop();
    cluster().start();
    EXPECT_EQ(store->claim("w", kRules, 60s).value().id, id);
}

}  // namespace
