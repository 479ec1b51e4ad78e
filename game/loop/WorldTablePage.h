#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "game/online/WorldSender.h"

namespace quelvane {

// The page's texts for the world table as it stands: its rows, and a line under them.
struct WorldTableText {
    std::string body;
    std::string notice;
};

// The page's texts for a table as the feed has it: its rows, the marked one (an index into the
// table's rows) with a marker, and the line of a withdrawal when one is told.
WorldTableText worldTableText(const online::WorldTable& table,
                              std::optional<size_t> marked = std::nullopt);

// Where the page's rows come from: asked for as the page opens, then read on every pass while it
// shows; a run withdrawn is taken off there too, and a run watched is downloaded from the server.
// None while no world table is joined.
struct WorldTableFeed {
    std::function<void()> ask;
    std::function<online::WorldTable()> read;
    std::function<void(int64_t run)> withdraw;
    std::string server;
};
void useWorldTableFeed(WorldTableFeed feed);

// What the page says when no world table is joined: how to join one where the game runs.
void useWorldTableJoinText(std::string text);

// The program that watches a run chosen on the page, given --watch and the run's address: on the
// desktop, the game itself. Without one, no run is watched.
void useWatchProgram(std::filesystem::path program);

// The page on F3: the world table's rows as the feed has them, or how to join one. Up and Down
// mark a row, Enter watches its run in a program of its own while the page waits, Delete twice
// withdraws one of the player's own runs; any other key returns to the game.
void showWorldTable();

}  // namespace quelvane
