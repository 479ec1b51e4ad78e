#include "game/scores/ScoreTable.h"

#include <algorithm>
#include <cstdio>
#include <memory>

#include "platform/AtomicFile.h"

namespace quelvane {

namespace {

constexpr int64_t kHighestScoreText = 999'999'999;
constexpr int64_t kLowestScoreText = -99'999'999;

struct CloseFile {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

// Reads lines of any length but keeps only the first characters of each, so a damaged file with
// endless lines costs time, never memory.
class LineReader {
  public:
    explicit LineReader(std::FILE* file) : file_(file) {}

    // The next line without its line end, cut to limit characters and at a NUL byte. At the end
    // of the file an empty line.
    std::string read(std::size_t limit) {
        std::string line;
        int c = 0;
        while ((c = std::getc(file_)) != EOF && c != '\n') {
            // One more than the limit, so that a carriage return right after a full line is seen.
            if (line.size() <= limit)
                line.push_back(static_cast<char>(c));
        }
        if (c == EOF) {
            atEnd_ = true;
            failed_ = std::ferror(file_) != 0;
        } else if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        line.resize(std::min({line.size(), limit, line.find('\0')}));
        return line;
    }

    // A read has run into the end of the file (or into an error).
    bool atEnd() const { return atEnd_; }
    bool failed() const { return failed_; }

  private:
    std::FILE* file_;
    bool atEnd_ = false;
    bool failed_ = false;
};

std::string cutAtCarriageReturn(const std::string& text) {
    return text.substr(0, text.find('\r'));
}

}  // namespace

std::filesystem::path scoresFilePath() {
    return "scores.dat";
}

std::optional<ScoreFile> readScoreFile(const std::filesystem::path& file) {
    const std::unique_ptr<std::FILE, CloseFile> stream(std::fopen(file.c_str(), "rb"));
    if (!stream)
        return std::nullopt;
    LineReader reader(stream.get());
    ScoreFile result;
    while (result.entries.size() < kTableEntries && !reader.atEnd()) {
        ScoreEntry entry;
        entry.name = reader.read(kNameChars);
        result.endsInName = reader.atEnd();
        entry.score = reader.read(kScoreChars);
        result.entries.push_back(std::move(entry));
    }
    result.readFailed = reader.failed();
    return result;
}

int64_t scoreValue(std::string_view text) {
    // Far beyond any score line's nine characters, and far from overflowing.
    constexpr int64_t kSaturation = 1'000'000'000'000'000;
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r')))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    int64_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        value = std::min(value * 10 + (text[i] - '0'), kSaturation);
    return negative ? -value : value;
}

std::string scoreText(int64_t score) {
    return std::to_string(std::clamp(score, kLowestScoreText, kHighestScoreText));
}

std::optional<std::size_t> placeFor(const ScoreTable& table, int64_t score) {
    const auto beaten = std::find_if(table.begin(), table.end(), [score](const ScoreEntry& entry) {
        return score > scoreValue(entry.score);
    });
    if (beaten != table.end())
        return static_cast<std::size_t>(beaten - table.begin());
    if (table.size() < kTableEntries)
        return table.size();
    return std::nullopt;
}

ScoreTable insertEntry(ScoreTable table, std::size_t place, ScoreEntry entry) {
    place = std::min(place, table.size());
    table.insert(table.begin() + static_cast<std::ptrdiff_t>(place), std::move(entry));
    if (table.size() > kTableEntries)
        table.resize(kTableEntries);
    return table;
}

std::string formatScoreFile(const ScoreTable& table) {
    std::string bytes;
    for (std::size_t i = 0; i < table.size(); ++i) {
        bytes += cutAtCarriageReturn(table[i].name);
        bytes += "\r\n";
        bytes += cutAtCarriageReturn(table[i].score);
        if (i + 1 < table.size())
            bytes += "\r\n";
    }
    return bytes;
}

bool writeScoreFile(const std::filesystem::path& file, const ScoreTable& table,
                    std::string* reason) {
    // Never in place: a torn scores file would lose the whole table.
    return platform::replaceFileContents(file, formatScoreFile(table),
                                         platform::InPlaceWrite::Never, reason);
}

}  // namespace quelvane
