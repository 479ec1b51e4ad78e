#include "game/loop/WorldTablePage.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <utility>
#include <vector>

#include "game/gfx/Font.h"
#include "game/loop/Entry.h"
#include "game/screens/Screen.h"
#include "game/screens/TextPage.h"
#include "platform/ChildProcess.h"
#include "platform/DisplayOptions.h"
#include "platform/VirtualKeys.h"

namespace quelvane {

namespace {

WorldTableFeed feed;
std::filesystem::path watchProgram;

std::string joinText =
    "You are not on the world table.\n"
    "\n"
    "To send your games to a world table, where\n"
    "each score counts once its server has played\n"
    "the game again, put a file world.ini beside\n"
    "controls.ini with the lines\n"
    "\n"
    "   server = http://host:port\n"
    "   name = the name to go by there\n"
    "\n"
    "and start the game again.";

std::string rowText(const online::TableRow& row, bool marked, bool best, bool own) {
    char text[96];
    std::snprintf(text, sizeof text, "%c%c%4lld. %-33s %lld%s", marked ? '>' : ' ',
                  best ? '*' : ' ', static_cast<long long>(row.place), row.name.c_str(),
                  static_cast<long long>(row.score), own ? "  (yours)" : "");
    return text;
}

constexpr const char* kKeysLine = "Up/Down choose a run, Enter watches it, Delete withdraws yours";

// What the player does on the page: the row marked, a withdrawal asked for once, a run watched
// by a program of its own. The game itself stays as it was: only the page waits meanwhile.
class TableChoice {
  public:
    ~TableChoice() {
        if (watcher_)
            holdSound(false);
    }

    // Whether the page acts on the key itself; any other ends the page.
    bool take(int key, const online::WorldTable& table) {
        if (watcher_)
            return true;
        const size_t rows = table.rows.size();
        const int64_t asked = confirming_;
        confirming_ = 0;
        if (key == platform::vk::kUp || key == platform::vk::kDown) {
            marked_ = key == platform::vk::kUp ? (marked_ > 0 ? marked_ - 1 : 0) : marked_ + 1;
            marked_ = std::min(marked_, rows > 0 ? rows - 1 : 0);
            line_.clear();
        } else if (key == platform::vk::kEnter && rows > 0) {
            watch(table.rows[row(table)].id);
        } else if (key == platform::vk::kDelete && rows > 0) {
            withdraw(table, asked);
        } else {
            return key == platform::vk::kEnter || key == platform::vk::kDelete;
        }
        return true;
    }

    // Notices, once a pass, that the run watched has ended.
    void update() {
        if (!watcher_ || !watcher_->ended())
            return;
        const int code = watcher_->exitCode();
        watcher_.reset();
        holdSound(false);
        line_ = code == 0 ? ""
                          : "Run " + std::to_string(watched_) +
                                " could not be watched (the watcher ended with code " +
                                std::to_string(code) + ")";
    }

    WorldTableText text(const online::WorldTable& table) const {
        WorldTableText text = worldTableText(table, row(table));
        if (!line_.empty())
            text.notice = line_;
        else if (text.notice.empty() && !table.rows.empty())
            text.notice = kKeysLine;
        return text;
    }

  private:
    // The marked row, within the table as it is now: a withdrawal may have shortened it.
    size_t row(const online::WorldTable& table) const {
        return std::min(marked_, table.rows.empty() ? 0 : table.rows.size() - 1);
    }

    void watch(int64_t run) {
        const platform::DisplayOptions& shown = platform::displayOptions();
        std::vector<std::string> args = {
            "--watch", feed.server + "/api/runs/" + std::to_string(run) + "/replay",
            shown.fullScreen ? "--fullscreen" : "--window"};
        if (shown.scaling == platform::Scaling::Smooth)
            args.emplace_back("--smooth");
        std::string error;
        if (!watchProgram.empty())
            watcher_ = platform::ChildProcess::start(watchProgram, args, error);
        else
            error = "no program here to watch it with";
        if (!watcher_) {
            line_ = "The run cannot be watched: " + error;
            return;
        }
        watched_ = run;
        line_ = "Watching run " + std::to_string(run) + "... (the game goes on when it ends)";
        // The watcher plays the run's own music and sounds.
        holdSound(true);
    }

    void withdraw(const online::WorldTable& table, int64_t asked) {
        const int64_t run = table.rows[row(table)].id;
        if (!table.own.contains(run)) {
            line_ = "Only a run of your own can be withdrawn";
        } else if (asked == run) {
            feed.withdraw(run);
            line_.clear();
        } else {
            confirming_ = run;
            line_ = "Press Delete again to take this run off the world table";
        }
    }

    size_t marked_ = 0;
    int64_t confirming_ = 0;  // the run the next Delete withdraws
    std::unique_ptr<platform::ChildProcess> watcher_;
    int64_t watched_ = 0;
    std::string line_;  // what came of the player's last key, over the feed's own line
};

}  // namespace

WorldTableText worldTableText(const online::WorldTable& table, std::optional<size_t> marked) {
    using State = online::WorldTable::State;
    WorldTableText text;
    int64_t last = 0;
    for (size_t i = 0; i < table.rows.size(); ++i) {
        const online::TableRow& row = table.rows[i];
        // The rows around the player's best, apart from the best ten.
        if (last != 0 && row.place > last + 1)
            text.body += "     ...\n";
        text.body +=
            rowText(row, marked == i, row.id == table.bestRun, table.own.contains(row.id)) + "\n";
        last = row.place;
    }
    if (!table.withdrawal.empty())
        text.notice = table.withdrawal;
    else if (table.state == State::Waiting)
        text.notice = "Waiting for the server...";
    else if (table.state == State::Unreachable)
        text.notice = "The server cannot be reached: " + table.reason;
    else if (table.rows.empty())
        text.notice = "No game has reached the world table yet.";
    return text;
}

void useWorldTableFeed(WorldTableFeed worldTableFeed) {
    feed = std::move(worldTableFeed);
}

void useWorldTableJoinText(std::string text) {
    joinText = std::move(text);
}

void useWatchProgram(std::filesystem::path program) {
    watchProgram = std::move(program);
}

void showWorldTable() {
    const ScreenScope scope(Screen::World);
    const std::unique_ptr<Font> small = Font::create(10, 0, 300, kFixedPitch | kFamilyModern);
    TextPage page = tablePage("World Table:\n~~~~~~~~~~~~", feed.read ? "" : joinText, "",
                              {.bodyX = 150, .bodyY = 90, .lineHeight = 12, .noticeX = 150},
                              hudFont.get(), small.get());
    if (!feed.read) {
        showTextPage(page);
        return;
    }
    if (feed.ask)
        feed.ask();
    TableChoice choice;
    online::WorldTable table;
    showChangingPage(
        [&] {
            choice.update();
            table = feed.read();
            WorldTableText text = choice.text(table);
            page.items[1].text = std::move(text.body);
            page.items[3].text = std::move(text.notice);
            return page;
        },
        [&](int key) { return choice.take(key, table); });
}

}  // namespace quelvane
