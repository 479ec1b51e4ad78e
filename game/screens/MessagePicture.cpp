#include "game/screens/MessagePicture.h"

#include <algorithm>
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "game/gfx/Colour.h"
#include "game/gfx/Font.h"
#include "game/gfx/Surface.h"

namespace quelvane {

namespace {

constexpr int kMargin = 16;
// Eighty columns of the HUD font's seven pixels, and as many lines as fit the game's screen.
constexpr std::size_t kColumns = 80;
constexpr std::size_t kMostLines = 24;
constexpr uint32_t kFrame = 0x00808080;
constexpr const char* kClose = "Enter, Esc or a click closes this message.";

// The text's lines, each cut at the last space that keeps it within kColumns (or at kColumns
// where a word is longer).
std::vector<std::string> wrap(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (lines.size() < kMostLines) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        std::string_view line = text.substr(start, end - start);
        while (line.size() > kColumns && lines.size() < kMostLines) {
            const std::size_t space = line.rfind(' ', kColumns);
            const std::size_t cut =
                space == std::string_view::npos || space == 0 ? kColumns : space;
            lines.emplace_back(line.substr(0, cut));
            line.remove_prefix(cut == space ? cut + 1 : cut);
        }
        lines.emplace_back(line);
        if (end == text.size())
            break;
        start = end + 1;
    }
    lines.resize(std::min(lines.size(), kMostLines));
    return lines;
}

}  // namespace

platform::MessagePicture drawMessage(std::string_view text) {
    const std::unique_ptr<Font> font = Font::create(16, 7, 700, kFixedPitch | kFamilyModern);
    if (!font)
        return {};
    std::vector<std::string> lines = wrap(text);
    std::size_t columns = std::string_view(kClose).size();
    for (const std::string& line : lines)
        columns = std::max(columns, line.size());
    const int lineHeight = font->cellHeight();
    const int width = 2 * kMargin + static_cast<int>(columns) * font->advance();
    const int height = 2 * kMargin + static_cast<int>(lines.size() + 2) * lineHeight;
    Surface surface(width, height);
    surface.fill(kFrame, 0, 0, width, height);
    surface.fill(0, 1, 1, width - 1, height - 1);
    int y = kMargin;
    for (const std::string& line : lines) {
        font->draw(surface, kMargin, y, line, rgb(255, 255, 255), false, 0);
        y += lineHeight;
    }
    font->draw(surface, kMargin, y + lineHeight, kClose, rgb(255, 255, 0), false, 0);
    const auto count = static_cast<std::ptrdiff_t>(width) * height;
    return {width, height, std::vector<uint32_t>(surface.data(), surface.data() + count)};
}

}  // namespace quelvane
