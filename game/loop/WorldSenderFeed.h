#pragma once

#include "game/loop/WorldTablePage.h"
#include "game/online/WorldSender.h"

namespace quelvane {

// The world table page shows the sender's table, while world.ini names a server; with none, how
// to join.
void useWorldSender(online::WorldSender* sender);

}  // namespace quelvane
