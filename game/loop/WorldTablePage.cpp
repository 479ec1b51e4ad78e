#include "game/loop/WorldTablePage.h"

#include <memory>
#include <utility>

#include "game/gfx/Font.h"
#include "game/screens/Screen.h"
#include "game/screens/TextPage.h"

namespace quelvane {

namespace {

WorldTableFeed feed;

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

}  // namespace

void useWorldTableFeed(WorldTableFeed worldTableFeed) {
    feed = std::move(worldTableFeed);
}

void useWorldTableJoinText(std::string text) {
    joinText = std::move(text);
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
    showChangingPage([&page] {
        WorldTableText text = feed.read();
        page.items[1].text = std::move(text.body);
        page.items[3].text = std::move(text.notice);
        return page;
    });
}

}  // namespace quelvane
