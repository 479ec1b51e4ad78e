#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "game/scores/ScoreTable.h"
#include "platform/Message.h"

namespace quelvane {

// What a replay says about its game without playing it.
struct ReplayHeader {
    uint64_t rulesVersion = 0;  // of the build that recorded it
    int64_t recordedAt = 0;     // when the game ended, in seconds since 1970 (UTC)
    uint32_t passes = 0;        // passes of every loop from the game's first frame of play
    uint32_t milliseconds = 0;  // game time from the first tick read to the last
    int64_t score = 0;
    std::string name;  // the name entered in the table; empty when the game did not enter it
    bool operator==(const ReplayHeader&) const = default;
};

// A message handed to the game in one of the platform's pumps, counted from the game's first.
struct TapedMessage {
    uint32_t pump = 0;
    platform::Message message;
    bool operator==(const TapedMessage&) const = default;
};

// One game as the game consumed it at the platform's seam: the state it began in, every tick count
// it read, every message it was handed and every read of the scores file, each in the order the
// game took them. Played back from the same state, they give the same game frame for frame.
struct Recording {
    ReplayHeader header;
    std::string snapshot;  // the state of the game at its first pass of play (GameSnapshot)
    std::string controls;  // the keys and controller inputs it was played with, as controls.ini
    std::vector<uint32_t> ticks;
    std::vector<TapedMessage> messages;  // in pump order
    uint32_t pumps = 0;                  // every pump, with messages or none
    // The tick count as each pass ended, unseen by the game: a trace of the replay shows it.
    std::vector<uint32_t> passTicks;
    std::vector<std::optional<ScoreFile>> scoreReads;
    bool operator==(const Recording&) const = default;
};

}  // namespace quelvane
