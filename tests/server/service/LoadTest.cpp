#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <random>
#include <thread>

#include "ServiceFixture.h"
#include "server/support/ForgedFiles.h"
#include "server/support/GenuineReplays.h"

namespace quelvane {
namespace {

// One file of the load and the answers it may have: a genuine game or a forgery only playing
// shows (kept once, resent), or a cheap refusal.
struct Load {
    std::vector<std::vector<uint8_t>> files;
    std::vector<int> refusedWith;  // 0 for a file that is kept: 202 first, 200 after
    std::vector<int64_t> scores;   // the genuine games' scores, -1 for a forgery to refuse
    std::vector<size_t> order;     // which file each submission sends
};

Load planLoad(const std::vector<GenuineGame>& genuine, size_t submissions) {
    Load load;
    for (const GenuineGame& game : genuine) {
        load.files.push_back(game.file);
        load.refusedWith.push_back(0);
        load.scores.push_back(game.header.score);
    }
    load.files.push_back(raisedScore(genuine[0].file));
    load.refusedWith.push_back(0);
    load.scores.push_back(-1);
    load.files.push_back(truncated(genuine[1].file));
    load.refusedWith.push_back(400);
    load.files.push_back(otherRules(genuine[2].file));
    load.refusedWith.push_back(409);
    load.scores.resize(load.files.size(), -1);
    // Every file once, then any of them again.
    std::mt19937 random(20261209);
    for (size_t i = 0; i < submissions; ++i)
        load.order.push_back(i < load.files.size() ? i : random() % load.files.size());
    std::shuffle(load.order.begin(), load.order.end(), random);
    return load;
}

// The answers to one file's submissions.
struct Answers {
    std::vector<int> statuses;
    std::set<int64_t> ids;
};

// Many clients at once send genuine games, resends and forgeries: every file kept is kept once,
// whichever of its sends came first, and ends verified with its score or refused; nothing kept
// is lost, and nothing is twice on the table.
TEST_P(ServiceTest, ConcurrentSubmissionsEachEndOnce) {
    const int clients = kShort ? 4 : 20;
    const size_t submissions = kShort ? 60 : 1000;
    const std::vector<GenuineGame> genuine = genuineGames(kShort ? 3 : 20);
    const Load load = planLoad(genuine, submissions);
    auto world = start({"--workers", "2", "--rate", "1000000"});
    ASSERT_TRUE(world->ready());

    std::vector<Answers> answers(load.files.size());
    std::mutex answersLock;
    std::atomic<size_t> next{0};
    std::vector<std::thread> threads;
    for (int c = 0; c < clients; ++c) {
        threads.emplace_back([&] {
            auto client = world->client();
            for (size_t i = next++; i < load.order.size(); i = next++) {
                const size_t file = load.order[i];
                const Answer answer = submitRun(*client, load.files[file]);
                std::lock_guard<std::mutex> hold(answersLock);
                answers[file].statuses.push_back(answer.status);
                if (answer.status == 200 || answer.status == 202)
                    answers[file].ids.insert(answer.body.value("id", int64_t{0}));
            }
        });
    }
    for (std::thread& thread : threads)
        thread.join();

    std::set<int64_t> kept;
    for (size_t file = 0; file < load.files.size(); ++file) {
        const std::vector<int>& statuses = answers[file].statuses;
        const std::string told =
            "file " + std::to_string(file) + " answered " + testing::PrintToString(statuses);
        if (load.refusedWith[file] != 0) {
            EXPECT_EQ(std::count(statuses.begin(), statuses.end(), load.refusedWith[file]),
                      static_cast<long>(statuses.size()))
                << told;
            continue;
        }
        EXPECT_EQ(std::count(statuses.begin(), statuses.end(), 202), 1) << told;
        EXPECT_EQ(std::count(statuses.begin(), statuses.end(), 200),
                  static_cast<long>(statuses.size()) - 1)
            << told;
        ASSERT_EQ(answers[file].ids.size(), 1u) << "file " << file << " has several runs";
        kept.insert(*answers[file].ids.begin());
    }
    auto client = world->client();
    const auto runs = settle(*client, kept, kSettleBound);
    size_t verified = 0;
    for (size_t file = 0; file < load.files.size(); ++file) {
        if (load.refusedWith[file] != 0)
            continue;
        const nlohmann::json& run = runs.at(*answers[file].ids.begin());
        if (load.scores[file] < 0) {
            EXPECT_EQ(run.value("state", ""), "refused") << run;
            continue;
        }
        EXPECT_TRUE(endedAsGenuine(run, load.scores[file])) << run;
        verified += isVerified(run);
    }
    const std::multiset<int64_t> table = tableIds(*client);
    EXPECT_EQ(table.size(), verified);
    EXPECT_EQ(std::set<int64_t>(table.begin(), table.end()).size(), table.size());
    EXPECT_EQ(metric(*client, "quelvane_world_runs{state=\"verified\"}"),
              static_cast<double>(verified));
}

}  // namespace
}  // namespace quelvane
