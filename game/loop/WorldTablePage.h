#pragma once

#include <string>

#include "game/online/WorldSender.h"

namespace quelvane {

// The world table's sender, while world.ini names a server; none otherwise.
void useWorldSender(online::WorldSender* sender);

// The page on F3, until a key is pressed: the world table's best ten and the rows around the
// player's best run, asked for as it opens; while the answer is on its way, and when the server
// cannot be reached, a line says so. Without world.ini, how to join.
void showWorldTable();

// The page's texts for a table as the sender has it.
struct WorldTableText {
    std::string body;
    std::string notice;
};
WorldTableText worldTableText(const online::WorldTable& table);

}  // namespace quelvane
