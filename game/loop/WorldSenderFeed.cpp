#include "game/loop/WorldSenderFeed.h"

#include <cstdio>

namespace quelvane {

namespace {

std::string rowText(const online::TableRow& row, bool marked, bool best, bool own) {
    char text[96];
    std::snprintf(text, sizeof text, "%c%c%4lld. %-33s %lld%s", marked ? '>' : ' ',
                  best ? '*' : ' ', static_cast<long long>(row.place), row.name.c_str(),
                  static_cast<long long>(row.score), own ? "  (yours)" : "");
    return text;
}

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

void useWorldSender(online::WorldSender* sender) {
    if (!sender) {
        useWorldTableFeed({});
        return;
    }
    useWorldTableFeed({[sender] { sender->askTable(); }, [sender] { return sender->table(); },
                       [sender](int64_t run) { sender->withdraw(run); }, sender->server()});
}

}  // namespace quelvane
