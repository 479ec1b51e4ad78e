#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace quelvane {

// The page's games and replays. Every game played in the page is recorded as on the desktop, in
// the player's folder that the page keeps in IndexedDB, and the page is told of each game saved
// (web/quelvane-page.js). A replay the page hands over is watched as the desktop's --watch watches
// one, once the game under way has ended; a new game starts when the watch is over.

// What the page's entry gives the runs: a seed for each new game, and the clock and event source
// the page plays with, put back in place after a watch (which takes them over).
struct PageRuns {
    std::function<uint32_t()> seed;
    std::function<void()> restoreSeams;
};

// Plays games, and the replays handed over between them, until the player quits; false when the
// game cannot start.
bool playGamesAndReplays(const PageRuns& runs);

// Takes a replay file to be watched, ending the game or the watch under way; "" when it is taken,
// else why it cannot be played. The page is answered with its number once it has been watched
// (or could not begin).
std::string handOverReplay(const std::string& file, int number);

}  // namespace quelvane
