#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "game/replay/Recording.h"

namespace quelvane {

// A game played by the real game's code from start-up, headless, and recorded as the game records
// it: its ship destroyed, its name typed at the name prompt.
struct GenuineGame {
    std::vector<uint8_t> file;
    ReplayHeader header;
};

// Game n has its own seed and its own sweep of the field; the same n is the same play whatever its
// name (lower-case letters, as typed). Each is recorded by quelvane-replay once per build and kept
// in the build folder for every test and benchmark after; a new build of quelvane-replay records
// them again. Fails the calling test when the game cannot be recorded.
GenuineGame genuineGame(int n, const std::string& name);
std::vector<GenuineGame> genuineGames(int count);

}  // namespace quelvane
