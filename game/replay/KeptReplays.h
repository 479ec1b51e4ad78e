#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "game/replay/Recording.h"
#include "game/scores/ScoreTable.h"

namespace quelvane {

// The replays kept beside the high-score table, in the replays folder: one for each entry, found
// by the name and score in its header, so the scores file stays as it is. Each is named by when its
// game ended and its score ("20261209-142501-1234.qvr", "..._2.qvr" for a second game that ended
// in the same second); the last game is "last.qvr" and is no kept replay.
inline constexpr const char* kLastReplayFile = "last.qvr";

// Writes a kept replay under a name of its own; its path, or an empty one with the reason.
std::filesystem::path keepReplay(const std::filesystem::path& folder, const Recording& recording,
                                 std::string& reason);

// The kept replay tied to each entry of the table, by the entry's place (an empty path where none
// is). An entry ties the newest kept replay of its name and score that an earlier entry has not
// taken.
std::vector<std::filesystem::path> keptReplaysFor(const std::filesystem::path& folder,
                                                  const ScoreTable& table);

// Deletes every kept replay that no entry of the table is tied to.
void pruneKeptReplays(const std::filesystem::path& folder, const ScoreTable& table);

}  // namespace quelvane
