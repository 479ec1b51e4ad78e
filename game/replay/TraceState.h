#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "game/screens/Screen.h"

namespace quelvane {

// The game's state by name, as quelvane-replay's --state and --trace print it. The names are read
// by tests and by people: they keep their meaning once published, and new ones are only added.
using TraceState = std::vector<std::pair<const char*, std::string>>;

// The state now, after `frames` passes, in `screen`, at `tick`.
TraceState traceState(long long frames, Screen screen, uint32_t tick);

// One row of a tab-separated trace: the names for the header, else the values.
void writeTraceRow(std::ostream& out, const TraceState& state, bool header);

}  // namespace quelvane
