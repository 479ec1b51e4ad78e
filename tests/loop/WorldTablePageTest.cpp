#include "game/loop/WorldTablePage.h"

#include <chrono>
#include <fstream>
#include <thread>

#include "game/loop/WindowProc.h"
#include "platform/DisplayOptions.h"
#include "support/ScreenFixture.h"

namespace quelvane {
namespace {

namespace fs = std::filesystem;
using platform::MessageKind;
namespace vk = platform::vk;

// The page on F3 with a table of three rows (the third below a gap), two of them the player's own.
class WorldTablePageTest : public ScreenFixture {
  protected:
    void SetUp() override {
        ScreenFixture::SetUp();
        table.state = online::WorldTable::State::Shown;
        table.rows = {{1, "ada", 900, 7}, {2, "bea", 800, 8}, {15, "zoe", 100, 9}};
        table.own = {7, 9};
    }
    void TearDown() override {
        useWorldTableFeed({});
        useWatchProgram({});
        platform::setDisplayOptions({});
        ScreenFixture::TearDown();
    }

    online::WorldTable table;
};

TEST_F(WorldTablePageTest, RowsAreMarkedOwnOnesWithdrawnOnASecondDeleteAndARunWatchedBeside) {
    // The watcher stands for the game started beside itself: it tells its arguments and plays
    // until the test lets it end, refusing the run.
    const fs::path script = dir / "watch.sh";
    const fs::path go = dir / "go";
    std::ofstream(script) << "#!/bin/sh\necho \"$@\" > '" << (dir / "args").string()
                          << "'\nwhile [ ! -e '" << go.string() << "' ]; do sleep 0.01; done\n"
                          << "exit 3\n";
    fs::permissions(script, fs::perms::owner_exec, fs::perm_options::add);
    useWatchProgram(script);
    platform::setDisplayOptions({.fullScreen = false, .scaling = platform::Scaling::Smooth});

    std::vector<int64_t> withdrawn;
    constexpr uint32_t kWatchFrom = 15;
    constexpr uint32_t kWatchEnds = 25;
    useWorldTableFeed({[] {},
                       [&] {
                           // Any key while the run plays is the page's; once it has ended, Q
                           // returns to the game.
                           if (passes >= static_cast<int>(kWatchFrom))
                               keyDown(passes + 1, 'Q');
                           if (passes == static_cast<int>(kWatchEnds))
                               std::ofstream{go};
                           // The watcher ends in real time, the page's passes are virtual.
                           if (passes > static_cast<int>(kWatchEnds))
                               std::this_thread::sleep_for(std::chrono::milliseconds(2));
                           return table;
                       },
                       [&](int64_t run) { withdrawn.push_back(run); }, "http://example.org:8080"});
    // Down past the last row stays on it; the gap is no row. A second Delete counts only right
    // after the first, on the same row; another's row has none. Then the first row is watched.
    uint32_t pass = 0;
    for (const int key :
         {vk::kDown, vk::kDown, vk::kDown, vk::kDelete, vk::kDelete, vk::kDelete, vk::kUp,
          vk::kDown, vk::kDelete, vk::kUp, vk::kDelete, vk::kDelete, vk::kUp, vk::kEnter})
        keyDown(++pass, key);
    ASSERT_EQ(pass + 1, kWatchFrom);

    windowProc({MessageKind::KeyDown, vk::kF1 + 2});
    EXPECT_EQ(withdrawn, std::vector<int64_t>{9});
    EXPECT_GT(passes, static_cast<int>(kWatchEnds)) << "the page ended while the run played";
    EXPECT_LT(passes, kRunaway);
    std::ifstream args(dir / "args");
    std::string line;
    std::getline(args, line);
    EXPECT_EQ(line, "--watch http://example.org:8080/api/runs/7/replay --window --smooth");
    EXPECT_FALSE(exitRequested);
}

}  // namespace
}  // namespace quelvane
