#include "game/online/Outbox.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "platform/AtomicFile.h"

namespace quelvane::online {

namespace {

// Files are numbered in the order they were kept: "000042.qvr".
unsigned long numberOf(const std::filesystem::path& file) {
    return std::strtoul(file.stem().c_str(), nullptr, 10);
}

}  // namespace

Outbox::Outbox(std::filesystem::path folder, size_t mostFiles, std::uintmax_t mostBytes)
    : folder_(std::move(folder)), mostFiles_(mostFiles), mostBytes_(mostBytes) {}

std::filesystem::path Outbox::keep(const std::vector<uint8_t>& replay, std::string& reason) {
    std::error_code error;
    std::filesystem::create_directories(folder_, error);
    const std::vector<std::filesystem::path> files = waiting();
    const unsigned long next = files.empty() ? 1 : numberOf(files.back()) + 1;
    char name[32];
    std::snprintf(name, sizeof name, "%06lu.qvr", next);
    std::filesystem::path file = folder_ / name;
    const std::string_view bytes(reinterpret_cast<const char*>(replay.data()), replay.size());
    if (!platform::replaceFileContents(file, bytes, platform::InPlaceWrite::Never, &reason))
        return {};
    prune();
    return file;
}

std::vector<std::filesystem::path> Outbox::waiting() const {
    std::vector<std::filesystem::path> files;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder_, error)) {
        if (entry.path().extension() == ".qvr" && entry.is_regular_file(error))
            files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end(),
              [](const auto& a, const auto& b) { return numberOf(a) < numberOf(b); });
    return files;
}

void Outbox::remove(const std::filesystem::path& file) {
    std::error_code ignored;
    std::filesystem::remove(file, ignored);
}

void Outbox::prune() const {
    std::vector<std::filesystem::path> files = waiting();
    std::uintmax_t bytes = 0;
    for (const auto& file : files) {
        std::error_code error;
        bytes += std::filesystem::file_size(file, error);
    }
    // The newest is kept whatever its size: it is the game just played.
    for (size_t i = 0;
         i + 1 < files.size() && (files.size() - i > mostFiles_ || bytes > mostBytes_); ++i) {
        std::error_code error;
        bytes -= std::min(bytes, std::filesystem::file_size(files[i], error));
        std::fprintf(stderr, "quelvane: the world table's outbox is full: %s is not sent\n",
                     files[i].c_str());
        remove(files[i]);
    }
}

}  // namespace quelvane::online
