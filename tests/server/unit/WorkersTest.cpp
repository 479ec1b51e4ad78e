#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>
#include <thread>

#include "server/service/Workers.h"
#include "server/unit/SampleVerdict.h"
#include "support/TempDir.h"

namespace {

using namespace quelvane;
using namespace quelvane::server;
using namespace std::chrono_literals;

const uint64_t kRules = 0x0123456789abcdefull;

// Two servers' workers share one database, and the game takes them longer than a lease: the worker
// that claimed it keeps it by renewing its lease, so it is played once and its verdict counts.
TEST(WorkersTest, ARunVerifiedPastItsLeaseIsNotClaimedByAnotherServer) {
    TempDir dir;
    const std::string program = (dir / "verifier").string();
    const std::string starts = (dir / "starts").string();
    std::ofstream(program) << "#!/bin/sh\necho started >> '" << starts
                           << "'\nsleep 3\ncat \"$2\"\n";
    ::chmod(program.c_str(), 0700);

    const std::string text = formatVerdict(sampleVerdict());
    NewRun run;
    run.file.assign(text.begin(), text.end());
    run.fileDigest = "file";
    run.rules = kRules;
    run.name = "Ann";
    const auto store = openSqliteStore((dir / "data").string());
    const int64_t id = store->submit(run, 10).value().id;

    {
        Workers first(*store, {1, 1s, program, "first", kRules});
        Workers second(*store, {1, 1s, program, "second", kRules});
        for (int wait = 0; wait < 600 && store->run(id)->state != RunState::Verified; ++wait)
            std::this_thread::sleep_for(50ms);
    }
    EXPECT_EQ(store->run(id)->state, RunState::Verified);
    EXPECT_EQ(store->run(id)->score, 900);
    std::ifstream log(starts);
    int started = 0;
    for (std::string line; std::getline(log, line);)
        ++started;
    EXPECT_EQ(started, 1) << "another server claimed the run while it was verified";
}

}  // namespace
