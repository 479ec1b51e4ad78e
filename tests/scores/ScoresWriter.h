#pragma once

#include <string>

#include "game/scores/ScoreTable.h"

namespace quelvane {

// The two tables the kill test's writer alternates between: a full one of long names and a short
// one, so that a torn file, a mix of both or an empty one cannot pass for either.
inline ScoreTable writerTable(int which) {
    ScoreTable table;
    const int entries = which == 0 ? 10 : 3;
    for (int i = 0; i < entries; ++i) {
        const char letter = static_cast<char>((which == 0 ? 'A' : 'a') + i);
        table.push_back({std::string(which == 0 ? 33 : 5, letter),
                         std::to_string((which == 0 ? 900'000'000 : 500) - i)});
    }
    return table;
}

}  // namespace quelvane
