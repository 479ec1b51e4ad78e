#include "tools/assetgen/PixelArt.h"

#include <array>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <vector>

namespace assetgen {

std::optional<Image> parsePixelArt(const std::string& text, std::string& error) {
    std::array<std::optional<uint32_t>, 256> palette{};
    std::vector<std::string> rows;
    std::istringstream in(text);
    std::string line;
    bool inGrid = false;
    int lineNumber = 0;
    while (std::getline(in, line)) {
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (!inGrid) {
            if (line.empty() || line[0] == '#') {
                continue;
            }
            if (line == "---") {
                inGrid = true;
                continue;
            }
            unsigned value = 0;
            char hex[7] = {};
            if (line.size() != 8 || line[1] != ' ' ||
                std::sscanf(line.c_str() + 2, "%6[0-9a-fA-F]", hex) != 1 ||
                std::string(hex).size() != 6) {
                error = "line " + std::to_string(lineNumber) + ": expected \"c RRGGBB\"";
                return std::nullopt;
            }
            value = static_cast<unsigned>(std::stoul(hex, nullptr, 16));
            palette[static_cast<unsigned char>(line[0])] = value;
            continue;
        }
        if (line.empty()) {
            continue;
        }
        if (!rows.empty() && line.size() != rows.front().size()) {
            error = "line " + std::to_string(lineNumber) + ": row length differs";
            return std::nullopt;
        }
        for (char c : line) {
            if (!palette[static_cast<unsigned char>(c)]) {
                error =
                    "line " + std::to_string(lineNumber) + ": colour '" + c + "' not in palette";
                return std::nullopt;
            }
        }
        rows.push_back(line);
    }
    if (rows.empty()) {
        error = "no picture rows";
        return std::nullopt;
    }
    Image image(static_cast<int>(rows.front().size()), static_cast<int>(rows.size()));
    for (size_t y = 0; y < rows.size(); ++y) {
        for (size_t x = 0; x < rows[y].size(); ++x) {
            image.set(static_cast<int>(x), static_cast<int>(y),
                      *palette[static_cast<unsigned char>(rows[y][x])]);
        }
    }
    return image;
}

std::optional<Image> loadPixelArt(const std::string& path, std::string& error) {
    std::ifstream file(path);
    if (!file) {
        error = "cannot open " + path;
        return std::nullopt;
    }
    std::ostringstream text;
    text << file.rdbuf();
    std::optional<Image> image = parsePixelArt(text.str(), error);
    if (!image) {
        error = path + ": " + error;
    }
    return image;
}

}  // namespace assetgen
