#include "game/loop/WorldTablePage.h"

#include <cstdio>
#include <memory>

#include "game/gfx/Font.h"
#include "game/screens/Screen.h"
#include "game/screens/TextPage.h"

namespace quelvane {

namespace {

online::WorldSender* sender = nullptr;

constexpr const char* kJoin =
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

std::string rowText(const online::TableRow& row, bool best) {
    char text[80];
    std::snprintf(text, sizeof text, "%c%4lld. %-33s %lld", best ? '*' : ' ',
                  static_cast<long long>(row.place), row.name.c_str(),
                  static_cast<long long>(row.score));
    return text;
}

}  // namespace

void useWorldSender(online::WorldSender* worldSender) {
    sender = worldSender;
}

WorldTableText worldTableText(const online::WorldTable& table) {
    using State = online::WorldTable::State;
    WorldTableText text;
    int64_t last = 0;
    for (const online::TableRow& row : table.rows) {
        // The rows around the player's best, apart from the best ten.
        if (last != 0 && row.place > last + 1)
            text.body += "    ...\n";
        text.body += rowText(row, row.id == table.bestRun) + "\n";
        last = row.place;
    }
    if (table.state == State::Waiting)
        text.notice = "Waiting for the server...";
    else if (table.state == State::Unreachable)
        text.notice = "The server cannot be reached: " + table.reason;
    else if (table.rows.empty())
        text.notice = "No game has reached the world table yet.";
    return text;
}

void showWorldTable() {
    const ScreenScope scope(Screen::World);
    const std::unique_ptr<Font> small = Font::create(10, 0, 300, kFixedPitch | kFamilyModern);
    TextPage page;
    page.items = {
        {.flags = TextItem::HasColour | TextItem::HasFont,
         .text = "World Table:\n~~~~~~~~~~~~",
         .colour = rgb(255, 255, 0),
         .x = 275,
         .y = 50,
         .font = hudFont.get()},
        {.flags = TextItem::HasLineHeight | TextItem::HasFont,
         .text = sender ? "" : kJoin,
         .x = 150,
         .y = 90,
         .lineHeight = 12,
         .font = small.get()},
        {.flags = TextItem::HasColour | TextItem::HasFont,
         .text = "Press any key to return to game...",
         .colour = rgb(255, 0, 0),
         .x = 223,
         .y = 430,
         .font = small.get()},
        {.flags = TextItem::HasColour | TextItem::HasFont,
         .colour = rgb(255, 255, 0),
         .x = 150,
         .y = 410,
         .font = small.get()},
    };
    if (!sender) {
        showTextPage(page);
        return;
    }
    sender->askTable();
    showChangingPage([&page] {
        WorldTableText text = worldTableText(sender->table());
        page.items[1].text = std::move(text.body);
        page.items[3].text = std::move(text.notice);
        return page;
    });
}

}  // namespace quelvane
