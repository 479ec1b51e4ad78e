#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quelvane {

// The page's test settings, from its URL (web/quelvane-page.js):
//
//   --seed S        the random generator's seed (else the date's milliseconds)
//   --tick-start T  with --keys: where the virtual tick count starts, as quelvane-replay's
//   --keys FILE     quelvane-replay's keys file, by pass; the tick count is then virtual (it moves
//                   on only by the passes' sleeps, as in the replay), so the frames are the
//                   replay's own. Once the script is spent the page's keys take over.
//   --hold N        after pass N the game waits, its picture on the canvas, until released
//   --fast          while the script runs, the passes do not wait out their 15 ms
struct PageOptions {
    bool seeded = false;
    uint32_t seed = 0;
    uint32_t tickStart = 0;
    std::string keysFile;
    long long hold = -1;
    bool fast = false;
};

// False when a setting is unknown, lacks its value or has a number that is not one.
bool parsePageOptions(const std::vector<std::string>& args, PageOptions& options);

}  // namespace quelvane
