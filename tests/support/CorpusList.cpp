#include "support/CorpusList.h"

#include <fstream>
#include <sstream>

namespace quelvane {

std::map<std::string, CorpusEntry> readCorpusList(const std::filesystem::path& file) {
    std::map<std::string, CorpusEntry> listed;
    std::ifstream in(file);
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        std::istringstream words(line);
        std::string name;
        CorpusEntry entry;
        words >> name >> entry.outcome;
        std::getline(words >> std::ws, entry.rest);
        listed[name] = std::move(entry);
    }
    return listed;
}

}  // namespace quelvane
