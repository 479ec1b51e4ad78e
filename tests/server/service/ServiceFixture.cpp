#include "ServiceFixture.h"

#include <csignal>
#include <cstdlib>

namespace quelvane {

void ServiceTest::SetUpTestSuite() {
    // The service may answer a body too large and close before the client has sent it all: the
    // client's write then fails, and must not end the test.
    std::signal(SIGPIPE, SIG_IGN);
    // The programs started here, sanitized, report leaks against the project's suppressions with
    // whole stacks, as the test program itself does.
    setenv("LSAN_OPTIONS", "suppressions=" QUELVANE_SOURCE_DIR "/tests/lsan.supp", 0);
    setenv("ASAN_OPTIONS", "fast_unwind_on_malloc=0", 0);
}

std::unique_ptr<PostgresCluster> ServiceTest::cluster_;

void ServiceTest::TearDownTestSuite() {
    cluster_.reset();
}

void ServiceTest::SetUp() {
    if (GetParam() != StoreKind::Postgres)
        return;
    if (!cluster_)
        cluster_ = std::make_unique<PostgresCluster>();
    postgresUrl_ = cluster_->newDatabase();
}

std::vector<std::string> ServiceTest::storeOptions() const {
    if (!postgresUrl_.empty())
        return {"--postgres", postgresUrl_};
    return {"--data", (folder_ / "data").string()};
}

std::unique_ptr<WorldProcess> ServiceTest::start(const std::vector<std::string>& options) {
    std::vector<std::string> all = storeOptions();
    all.insert(all.end(), options.begin(), options.end());
    auto world = std::make_unique<WorldProcess>(QUELVANE_WORLD, all, folder_.path());
    EXPECT_TRUE(world->ready()) << "quelvane-world did not start:\n" << world->log();
    return world;
}

std::optional<int> ServiceTest::runOnStore(const std::vector<std::string>& options) {
    std::vector<std::string> args = {QUELVANE_WORLD};
    const std::vector<std::string> store = storeOptions();
    args.insert(args.end(), store.begin(), store.end());
    args.insert(args.end(), options.begin(), options.end());
    return runProgram(args, folder_.path(), std::chrono::seconds(60));
}

bool isVerified(const nlohmann::json& run) {
    return run.value("state", "") == "verified";
}

bool endedAsGenuine(const nlohmann::json& run, int64_t score) {
    if (isVerified(run))
        return run.value("score", int64_t{-1}) == score;
    return kShort && run.value("state", "") == "refused" &&
           run.value("reason", "").starts_with("its verification ran ");
}

std::string storeName(const testing::TestParamInfo<StoreKind>& info) {
    return info.param == StoreKind::Sqlite ? "SQLite" : "PostgreSQL";
}

}  // namespace quelvane
