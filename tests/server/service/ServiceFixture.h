#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "server/support/PostgresCluster.h"
#include "server/support/WorldClient.h"
#include "server/support/WorldProcess.h"
#include "support/TempDir.h"

namespace quelvane {

enum class StoreKind { Sqlite, Postgres };

// A test of the real service on one of its stores: a database of the test's own, and the service
// started on it and started again as the test wants.
class ServiceTest : public testing::TestWithParam<StoreKind> {
  protected:
    static void SetUpTestSuite();
    static void TearDownTestSuite();
    // A database of the test's own: a new one on the suite's PostgreSQL server, or a folder.
    void SetUp() override;
    // The options that name this test's database.
    std::vector<std::string> storeOptions() const;
    // Starts the service with the store's options and these; fails the test when it does not
    // say where it listens.
    std::unique_ptr<WorldProcess> start(const std::vector<std::string>& options);
    // Runs quelvane-world to its end with the store's options and these (--hide ID); its exit code.
    std::optional<int> runOnStore(const std::vector<std::string>& options);

    TempDir folder_;
    std::string postgresUrl_;  // empty on SQLite
    // Started by the first test on PostgreSQL, for every test of the program after.
    static std::unique_ptr<PostgresCluster> cluster_;
};

std::string storeName(const testing::TestParamInfo<StoreKind>& info);

// A sanitized build runs the short versions of the load and fault tests.
#ifdef QUELVANE_SHORT_TESTS
inline constexpr bool kShort = true;
#else
inline constexpr bool kShort = false;
#endif

// Whether a genuine game's run ended as it must: verified with its score. A sanitized worker plays
// slower than a verification's CPU and clock budgets allow for, so there a refusal for running out
// of them is an end too; the tests still see that nothing is lost or kept twice.
bool endedAsGenuine(const nlohmann::json& run, int64_t score);
bool isVerified(const nlohmann::json& run);

// Bounds on waiting for verdicts, never expectations of them.
inline constexpr auto kSettleBound = std::chrono::seconds(kShort ? 1200 : 300);

}  // namespace quelvane
