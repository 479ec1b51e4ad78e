// The node build's --verify: it holds the game's calls against the desktop's, and verifies nothing
// (the verifier hashes through OpenSSL, which Emscripten does not have).
#include <cstdio>

#include "tools/replay/VerifyFile.h"

int verifyFile(const std::string& file) {
    std::fprintf(stderr, "quelvane-replay: %s: this build does not verify replays\n", file.c_str());
    return 2;
}
