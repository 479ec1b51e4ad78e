#include "server/support/GenuineReplays.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include <cctype>
#include <fstream>
#include <optional>
#include <sstream>

#include "game/replay/ReplayFile.h"
#include "server/support/ChildProcess.h"
#include "support/TempDir.h"

namespace quelvane {

namespace {

namespace fs = std::filesystem;

// A game's seed and how its player sweeps the field before sitting still until the ship is lost.
struct Plan {
    uint32_t seed = 0;
    uint32_t activeFrames = 0;
    uint32_t sweepFrames = 0;
};

Plan planOf(int n) {
    const auto k = static_cast<uint32_t>(n);
    return {7001 + 131 * k, 300 + 150 * (k % 12), 150 + 20 * (k % 5)};
}

// Attack on the title screen, then the repeater fired with the LimitBreak button held, sweeping
// left and right, until activeFrames; then every key let go.
std::string playKeys(const Plan& plan) {
    std::ostringstream keys;
    keys << "25 down G\n26 up G\n27 down Ctrl\n28 down J\n35 down Left\n";
    bool left = true;
    for (uint32_t frame = 35 + plan.sweepFrames; frame < plan.activeFrames;
         frame += plan.sweepFrames) {
        keys << frame << " up " << (left ? "Left" : "Right") << "\n";
        left = !left;
        keys << frame << " down " << (left ? "Left" : "Right") << "\n";
    }
    keys << plan.activeFrames << " up " << (left ? "Left" : "Right") << "\n";
    keys << plan.activeFrames << " up Ctrl\n" << plan.activeFrames << " up J\n";
    return keys.str();
}

// Attack once the game-over screen's half second has passed, then the name and Enter.
std::string nameKeys(uint32_t gameOver, const std::string& name) {
    std::ostringstream keys;
    uint32_t frame = gameOver + 40;
    keys << frame << " down G\n" << frame + 1 << " up G\n";
    frame += 5;
    for (const char c : name) {
        const char key = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        keys << frame << " down " << key << "\n" << frame + 1 << " up " << key << "\n";
        frame += 2;
    }
    keys << frame << " down Enter\n" << frame + 1 << " up Enter\n";
    return keys.str();
}

// The frame count of the trace's first row on screen.
std::optional<uint32_t> firstFrameOn(const fs::path& trace, const std::string& screen) {
    std::ifstream in(trace);
    std::string row;
    while (std::getline(in, row)) {
        if (row.size() > screen.size() && row.ends_with("\t" + screen))
            return static_cast<uint32_t>(std::stoul(row));
    }
    return std::nullopt;
}

bool runReplayTool(const fs::path& folder, const std::vector<std::string>& options) {
    std::vector<std::string> args = {QUELVANE_REPLAY_TOOL};
    args.insert(args.end(), options.begin(), options.end());
    std::string output;
    const std::optional<int> code = runProgram(args, folder, std::chrono::minutes(10), &output);
    EXPECT_EQ(code, 0) << "quelvane-replay failed: " << output;
    return code == 0;
}

std::vector<uint8_t> readBytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Plays the game once to find when its ship is lost, then again with the name typed at the
// prompt, recorded; the kept replay is copied to target.
void record(const Plan& plan, const std::string& name, const fs::path& target) {
    TempDir work;
    std::ofstream(work / "MidiDevice.ini") << "Software Synthesizer";
    std::ofstream(work / "play.txt") << playKeys(plan);
    const std::string seed = std::to_string(plan.seed);
    // Most ships sitting still are lost within 10,000 passes; the rest are given more.
    std::optional<uint32_t> gameOver;
    for (const uint32_t more : {10'000u, 40'000u}) {
        if (!runReplayTool(work.path(),
                           {"--frames", std::to_string(plan.activeFrames + more), "--seed", seed,
                            "--keys", "play.txt", "--trace", "play.tsv"}))
            return;
        gameOver = firstFrameOn(work / "play.tsv", "gameover");
        if (gameOver)
            break;
    }
    if (!gameOver) {
        ADD_FAILURE() << "the ship of seed " << seed << " was never lost";
        return;
    }
    std::ofstream(work / "keys.txt") << playKeys(plan) << nameKeys(*gameOver, name);
    if (!runReplayTool(work.path(), {"--frames", std::to_string(*gameOver + 60 + 2 * name.size()),
                                     "--seed", seed, "--keys", "keys.txt", "--record", "kept"}))
        return;
    for (const auto& entry : fs::directory_iterator(work / "kept")) {
        if (entry.path().filename() != "last.qvr") {
            fs::copy_file(entry.path(), target, fs::copy_options::overwrite_existing);
            return;
        }
    }
    ADD_FAILURE() << "the game of seed " << seed << " did not enter the table";
}

// The cache folder, locked against other tests for as long as the object lives; emptied when
// quelvane-replay is not the one that recorded what it holds.
class LockedCache {
  public:
    LockedCache() {
        fs::create_directories(folder_);
        lock_ = ::open((folder_ / "lock").c_str(), O_CREAT | O_RDWR, 0644);
        if (lock_ >= 0)
            ::flock(lock_, LOCK_EX);
        const fs::path tool = QUELVANE_REPLAY_TOOL;
        const std::string stamp =
            std::to_string(fs::last_write_time(tool).time_since_epoch().count()) + " " +
            std::to_string(fs::file_size(tool));
        std::ifstream in(folder_ / "tool.stamp");
        std::string kept;
        std::getline(in, kept);
        if (kept == stamp)
            return;
        for (const auto& entry : fs::directory_iterator(folder_))
            if (entry.path().extension() == ".qvr")
                fs::remove(entry.path());
        std::ofstream(folder_ / "tool.stamp") << stamp << "\n";
    }
    ~LockedCache() {
        if (lock_ >= 0)
            ::close(lock_);
    }
    LockedCache(const LockedCache&) = delete;
    LockedCache& operator=(const LockedCache&) = delete;

    GenuineGame game(const std::string& file, const Plan& plan, const std::string& name) {
        const fs::path path = folder_ / file;
        if (!fs::exists(path))
            record(plan, name, path);
        GenuineGame game;
        if (!fs::exists(path))
            return game;
        game.file = readBytes(path);
        const std::optional<ReplayHeader> header = peekReplayHeader(game.file);
        EXPECT_TRUE(header) << path;
        if (header)
            game.header = *header;
        return game;
    }

  private:
    fs::path folder_ = QUELVANE_GENUINE_CACHE;
    int lock_ = -1;
};

std::string nameOf(int n) {
    return std::string("pilot") + static_cast<char>('a' + n / 26 % 26) +
           static_cast<char>('a' + n % 26);
}

}  // namespace

GenuineGame genuineGame(int n, const std::string& name) {
    LockedCache cache;
    return cache.game("game-" + std::to_string(n) + "-" + name + ".qvr", planOf(n), name);
}

std::vector<GenuineGame> genuineGames(int count) {
    LockedCache cache;
    std::vector<GenuineGame> games;
    games.reserve(static_cast<size_t>(count));
    for (int n = 0; n < count; ++n)
        games.push_back(cache.game("game-" + std::to_string(n) + "-" + nameOf(n) + ".qvr",
                                   planOf(n), nameOf(n)));
    return games;
}

}  // namespace quelvane
