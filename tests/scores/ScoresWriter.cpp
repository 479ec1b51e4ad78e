// Rewrites the scores file in its working directory through the game's own writer, over and over,
// alternating between the two tables of ScoresWriter.h and starting with the one given, until it
// is killed. It prints "ready" once it is about to start.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "game/scores/ScoreTable.h"
#include "tests/scores/ScoresWriter.h"

int main(int argc, char** argv) {
    if (argc != 3 || ::chdir(argv[1]) != 0) {
        std::fprintf(stderr, "usage: scores_writer FOLDER FIRST-TABLE(0|1)\n");
        return 2;
    }
    const quelvane::ScoreTable tables[] = {quelvane::writerTable(0), quelvane::writerTable(1)};
    std::puts("ready");
    std::fflush(stdout);
    for (int i = std::atoi(argv[2]);; ++i) {
        std::string reason;
        if (!quelvane::writeScoreFile(quelvane::scoresFilePath(), tables[i % 2], &reason)) {
            std::fprintf(stderr, "scores_writer: %s\n", reason.c_str());
            return 1;
        }
    }
}
