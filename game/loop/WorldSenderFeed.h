#pragma once

#include <cstddef>
#include <optional>

#include "game/loop/WorldTablePage.h"
#include "game/online/WorldSender.h"

namespace quelvane {

// The world table page's texts for a table as the sender has it: its rows, the marked one (an
// index into the table's rows) with a marker, and the line of a withdrawal when one is told.
WorldTableText worldTableText(const online::WorldTable& table,
                              std::optional<size_t> marked = std::nullopt);

// The world table page shows the sender's table, while world.ini names a server; with none, how
// to join.
void useWorldSender(online::WorldSender* sender);

}  // namespace quelvane
