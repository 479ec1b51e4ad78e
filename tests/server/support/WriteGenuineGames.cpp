// Genuine games for the tests that are not C++ (the page's, in a browser):
//
//   write_genuine_games FOLDER COUNT
//
// writes game-N.qvr, N below COUNT, each the genuine game the service's tests send, recorded once
// per build into the same cache. Exit status 1 when one cannot be recorded.
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "server/support/GenuineReplays.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: write_genuine_games FOLDER COUNT\n";
        return 2;
    }
    const std::string folder = argv[1];
    const std::vector<quelvane::GenuineGame> games = quelvane::genuineGames(std::stoi(argv[2]));
    for (size_t n = 0; n < games.size(); ++n) {
        if (games[n].file.empty())
            return 1;
        std::ofstream(folder + "/game-" + std::to_string(n) + ".qvr", std::ios::binary)
            .write(reinterpret_cast<const char*>(games[n].file.data()),
                   static_cast<std::streamsize>(games[n].file.size()));
    }
    return 0;
}
