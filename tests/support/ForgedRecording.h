#pragma once

#include <functional>
#include <string>

#include "game/replay/GameStart.h"
#include "game/replay/Recording.h"

namespace quelvane {

// A recording altered and its first state written again by the game's own writer, so that once
// encoded its checksum holds and its alterations alone can refuse it. patch changes bytes of the
// rewritten first state after, for what the writer cannot write.
Recording forgeRecording(const Recording& real,
                         const std::function<void(Recording&, GameStart&)>& alter,
                         const std::function<void(std::string&)>& patch = nullptr);

}  // namespace quelvane
