#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <random>
#include <thread>

#include "game/scores/ScoreTable.h"
#include "tests/TempDir.h"
#include "tests/scores/ScoresWriter.h"

extern char** environ;

namespace quelvane {
namespace {

namespace fs = std::filesystem;

std::string contents(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// Starts the writer in folder and returns once it is about to write.
pid_t startWriter(const fs::path& folder, int firstTable) {
    int ready[2];
    if (::pipe(ready) != 0)
        return -1;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, ready[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, ready[0]);
    posix_spawn_file_actions_addclose(&actions, ready[1]);
    const std::string first = std::to_string(firstTable);
    char* argv[] = {const_cast<char*>(QUELVANE_SCORES_WRITER), const_cast<char*>(folder.c_str()),
                    const_cast<char*>(first.c_str()), nullptr};
    pid_t writer = -1;
    if (posix_spawn(&writer, QUELVANE_SCORES_WRITER, &actions, nullptr, argv, environ) != 0)
        writer = -1;
    posix_spawn_file_actions_destroy(&actions);
    ::close(ready[1]);
    char line[8] = {};
    if (writer > 0 && ::read(ready[0], line, sizeof line - 1) <= 0)
        std::cerr << "scores_writer never said it was ready\n";
    ::close(ready[0]);
    return writer;
}

// The writer rewrites the table over and over and is killed at a random moment, many times over:
// the file always reads as the old table or the new one, whole.
TEST(ScoresKillTest, AKilledRewriteLeavesTheOldTableOrTheNewOne) {
    const TempDir temp(TempDir::Place::MemoryWhereOffered);
    ASSERT_FALSE(temp.path().empty());
    const fs::path folder = temp.path();
    const fs::path file = folder / scoresFilePath();
    const ScoreTable tables[] = {writerTable(0), writerTable(1)};
    const std::string bytes[] = {formatScoreFile(tables[0]), formatScoreFile(tables[1])};

    // Kill within a few rewrites of the start, wherever a rewrite happens to be.
    constexpr int kCalibrationWrites = 20;
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < kCalibrationWrites; ++i)
        ASSERT_TRUE(writeScoreFile(file, tables[i % 2]));
    const auto cycle = (std::chrono::steady_clock::now() - start) / kCalibrationWrites;
    std::mt19937 random(20240611);
    std::uniform_int_distribution<long> delay(
        0, std::chrono::duration_cast<std::chrono::microseconds>(cycle * 4).count() + 1);

    constexpr int kKills = 300;
    int current = (kCalibrationWrites - 1) % 2;
    int changed = 0;
    for (int kill = 0; kill < kKills; ++kill) {
        // The other table first, so that a finished rewrite shows.
        const pid_t writer = startWriter(folder, current + 1);
        ASSERT_GT(writer, 0);
        std::this_thread::sleep_for(std::chrono::microseconds(delay(random)));
        ASSERT_EQ(::kill(writer, SIGKILL), 0);
        int status = 0;
        ASSERT_EQ(::waitpid(writer, &status, 0), writer);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the writer stopped by itself, status " << status;

        const std::string now = contents(file);
        ASSERT_TRUE(now == bytes[0] || now == bytes[1]) << "kill " << kill << ": " << now;
        const int table = now == bytes[0] ? 0 : 1;
        const auto read = readScoreFile(file);
        ASSERT_TRUE(read);
        EXPECT_EQ(read->entries, tables[table]);
        changed += table != current ? 1 : 0;
        current = table;
    }
    // Some writers finished a rewrite and some were killed before: the kills landed among them.
    EXPECT_GT(changed, 0);
    EXPECT_LT(changed, kKills);
    // Whatever a killed writer left beside the file, the next rewrite takes away.
    ASSERT_TRUE(writeScoreFile(file, tables[0]));
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
    std::cout << "rewrite " << std::chrono::duration_cast<std::chrono::microseconds>(cycle).count()
              << " us; " << kKills << " kills, " << changed << " after a finished rewrite\n";
}

}  // namespace
}  // namespace quelvane
