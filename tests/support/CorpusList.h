#pragma once

#include <filesystem>
#include <map>
#include <string>

namespace quelvane {

// A line of a fuzz corpus's expected.txt: what a file does ("loads", "verifies", "refused", ...)
// and the rest of the line, a refusal's reason where the list gives one.
struct CorpusEntry {
    std::string outcome;
    std::string rest;
};

// The list by file name, as the corpus folder names it ("bmp/huge.bmp"); lines that are empty or
// begin with # say nothing.
std::map<std::string, CorpusEntry> readCorpusList(const std::filesystem::path& file);

}  // namespace quelvane
