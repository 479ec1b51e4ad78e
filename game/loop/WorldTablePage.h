#pragma once

#include <functional>
#include <string>

namespace quelvane {

// The page's texts for the world table as it stands: its rows, and a line under them.
struct WorldTableText {
    std::string body;
    std::string notice;
};

// Where the page's rows come from: asked for as the page opens, then read on every pass while it
// shows. None while no world table is joined.
struct WorldTableFeed {
    std::function<void()> ask;
    std::function<WorldTableText()> read;
};
void useWorldTableFeed(WorldTableFeed feed);

// What the page says when no world table is joined: how to join one where the game runs.
void useWorldTableJoinText(std::string text);

// The page on F3, until a key is pressed: the world table's rows as the feed has them, or how to
// join one.
void showWorldTable();

}  // namespace quelvane
