// quelvane-world: the world table's service. Takes replays over HTTP, plays each again in a worker
// process of its own, and puts the scores it verified on the table.
#include <cstdio>
#include <string>
#include <vector>

#include "server/service/ServiceOptions.h"
#include "server/service/WorldProgram.h"

int main(int argc, char** argv) {
    using namespace quelvane::server;
    std::string error;
    const auto options =
        parseServiceOptions(std::vector<std::string>(argv + 1, argv + argc), error);
    if (!options) {
        std::fprintf(stderr, "quelvane-world: %s\n%s", error.c_str(), kServiceUsage);
        return 2;
    }
    if (options->help) {
        std::fputs(kServiceUsage, stdout);
        return 0;
    }
    if (!options->verifyOne.empty())
        return verifyOne(options->verifyOne);
    return runWorld(*options);
}
