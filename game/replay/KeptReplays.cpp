#include "game/replay/KeptReplays.h"

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <optional>

#include "game/replay/ReplayFile.h"

namespace quelvane {

namespace {

// Enough of a file for any header: the name is the last and longest of its fields.
constexpr std::streamsize kHeaderBytes = 512;

struct Kept {
    std::filesystem::path file;
    ReplayHeader header;
};

std::optional<ReplayHeader> headerOf(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::vector<uint8_t> bytes(kHeaderBytes);
    in.read(reinterpret_cast<char*>(bytes.data()), kHeaderBytes);
    bytes.resize(static_cast<size_t>(in.gcount()));
    return peekReplayHeader(bytes);
}

// Of two games that ended in the same second the one kept later has the higher number: "_2".
int copyNumber(const std::filesystem::path& file) {
    const std::string stem = file.stem().string();
    const size_t mark = stem.find_last_of('_');
    return mark == std::string::npos ? 1 : std::atoi(stem.c_str() + mark + 1);
}

// Every kept replay in the folder, newest first.
std::vector<Kept> keptReplays(const std::filesystem::path& folder) {
    std::vector<Kept> kept;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        const std::filesystem::path& file = entry.path();
        if (file.extension() != ".qvr" || file.filename() == kLastReplayFile ||
            !entry.is_regular_file(error))
            continue;
        if (const auto header = headerOf(file))
            kept.push_back({file, *header});
    }
    std::sort(kept.begin(), kept.end(), [](const Kept& a, const Kept& b) {
        return a.header.recordedAt != b.header.recordedAt
                   ? a.header.recordedAt > b.header.recordedAt
                   : copyNumber(a.file) > copyNumber(b.file);
    });
    return kept;
}

std::string stamp(int64_t seconds) {
    const std::time_t t = static_cast<std::time_t>(seconds);
    std::tm utc{};
    gmtime_r(&t, &utc);
    char text[32];
    std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &utc);
    return text;
}

}  // namespace

std::filesystem::path keepReplay(const std::filesystem::path& folder, const Recording& recording,
                                 std::string& reason) {
    const std::string base =
        stamp(recording.header.recordedAt) + "-" + scoreText(recording.header.score);
    std::filesystem::path file = folder / (base + ".qvr");
    std::error_code error;
    for (int n = 2; std::filesystem::exists(file, error); ++n)
        file = folder / (base + "_" + std::to_string(n) + ".qvr");
    return writeReplayFile(file, recording, &reason) ? file : std::filesystem::path();
}

std::vector<std::filesystem::path> keptReplaysFor(const std::filesystem::path& folder,
                                                  const ScoreTable& table) {
    std::vector<Kept> kept = keptReplays(folder);
    std::vector<std::filesystem::path> tied;
    for (const ScoreEntry& entry : table) {
        const auto match = std::find_if(kept.begin(), kept.end(), [&entry](const Kept& k) {
            return k.header.name == entry.name && scoreText(k.header.score) == entry.score;
        });
        if (match == kept.end()) {
            tied.emplace_back();
            continue;
        }
        tied.push_back(match->file);
        kept.erase(match);
    }
    return tied;
}

void pruneKeptReplays(const std::filesystem::path& folder, const ScoreTable& table) {
    const std::vector<std::filesystem::path> tied = keptReplaysFor(folder, table);
    for (const Kept& k : keptReplays(folder)) {
        if (std::find(tied.begin(), tied.end(), k.file) == tied.end()) {
            std::error_code ignored;
            std::filesystem::remove(k.file, ignored);
        }
    }
}

}  // namespace quelvane
