#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quelvane {

// The top-ten table kept in the scores file: at most ten entries, best first, each a name line and
// a score line; lines end in CR LF and the last score has no line end.
inline constexpr std::size_t kTableEntries = 10;
// Characters kept of a name line and of a score line; the rest of a longer line is skipped.
inline constexpr std::size_t kNameChars = 45;
inline constexpr std::size_t kScoreChars = 9;

struct ScoreEntry {
    std::string name;
    std::string score;  // as the file has it; compared by its integer value
    bool operator==(const ScoreEntry&) const = default;
};

using ScoreTable = std::vector<ScoreEntry>;

// Where the table lives. The one place that names the file, so that it can move to the user's data
// folder without touching its readers and writers.
std::filesystem::path scoresFilePath();

// What a read of the file found.
struct ScoreFile {
    ScoreTable entries;
    // The last entry's name line ran into the end of the file, so it has no score line: the file
    // ended after a name, or a line end followed the last score.
    bool endsInName = false;
    // Reading stopped on an error of the system, not at the end of the file.
    bool readFailed = false;
    bool operator==(const ScoreFile&) const = default;
};

// Reads at most ten entries. An entry is read whenever the end of the file has not been reached
// yet, so a line end after the last score reads as one more entry with an empty name. A line feed
// alone ends a line as CR LF does; a NUL byte ends the name or score it is in. Empty when the file
// cannot be opened.
std::optional<ScoreFile> readScoreFile(const std::filesystem::path& file);

// The integer a score text stands for: leading blanks skipped, an optional sign, then the digits up
// to the first other character; no digits give 0.
int64_t scoreValue(std::string_view text);

// The score line the game writes: the decimal form, held within the nine characters that are read
// back (a score beyond them is written as the largest that fits).
std::string scoreText(int64_t score);

// The place a score earns: before the first entry it beats, else at the end of a table that is not
// full; none when a full table has no entry it beats. Ties go after the older entry.
std::optional<std::size_t> placeFor(const ScoreTable& table, int64_t score);

// The table with entry at place and the entries from there on one lower; the old tenth entry of a
// full table drops out.
ScoreTable insertEntry(ScoreTable table, std::size_t place, ScoreEntry entry);

// The bytes of the file for table. A carriage return in a name or a score ends it there.
std::string formatScoreFile(const ScoreTable& table);

// Replaces the file with table so that a crash, a kill or a full disk leaves the old table or the
// new one whole. On failure the old file stays and reason (when given) says why.
bool writeScoreFile(const std::filesystem::path& file, const ScoreTable& table,
                    std::string* reason = nullptr);

}  // namespace quelvane
