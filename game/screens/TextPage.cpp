#include "game/screens/TextPage.h"

#include <algorithm>

#include "game/core/ExitRequest.h"
#include "game/gfx/Display.h"
#include "game/screens/Pass.h"
#include "platform/Platform.h"

namespace quelvane {

namespace {

constexpr int32_t kDefaultLineHeight = 16;

bool endsPage(const TextPage& page, int key) {
    if (page.exitChars.empty() && page.exitKeys.empty())
        return true;
    const bool byChar = std::any_of(page.exitChars.begin(), page.exitChars.end(),
                                    [key](char c) { return static_cast<signed char>(c) == key; });
    return byChar ||
           std::find(page.exitKeys.begin(), page.exitKeys.end(), key) != page.exitKeys.end();
}

void drawItem(const TextItem& item) {
    const bool transparent = item.flags & TextItem::Transparent;
    const ColourRef colour = item.flags & TextItem::HasColour ? item.colour : rgb(255, 255, 255);
    const ColourRef back = item.flags & TextItem::HasBackColour ? item.backColour : rgb(0, 0, 0);
    const int32_t lineHeight =
        item.flags & TextItem::HasLineHeight ? item.lineHeight : kDefaultLineHeight;
    const bool ownFont = item.flags & TextItem::HasFont;
    if (ownFont)
        display.SelectFont(item.font);
    const auto lines = splitLines(item.text);
    for (size_t j = 0; j < lines.size(); ++j)
        display.DrawString(lines[j].c_str(), item.x, item.y + static_cast<int32_t>(j) * lineHeight,
                           transparent, colour, back);
    if (ownFont)
        display.RestoreFont();
}

}  // namespace

void showTextPage(const TextPage& page) {
    showChangingPage([&page] { return page; });
}

void showChangingPage(const std::function<TextPage()>& pageNow,
                      const std::function<bool(int key)>& takeKey) {
    const bool dcHeld = display.GetStatus().dcHeld;
    if (dcHeld)
        display.ReleaseDC();
    bool done = false;
    while (!done && !exitRequested) {
        const uint32_t passStart = platform::tickCount();
        const TextPage page = pageNow();
        platform::Message message;
        while (platform::peekMessage(message)) {
            if (message.kind == platform::MessageKind::KeyDown)
                done = done || ((!takeKey || !takeKey(message.key)) && endsPage(page, message.key));
            else
                dispatchMessage(message);
        }
        display.GetDC();
        for (const TextItem& item : page.items)
            drawItem(item);
        display.ReleaseDC();
        display.Flip(true);
        endPass(passStart);
    }
    if (dcHeld)
        display.GetDC();
}

std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t feed; (feed = text.find('\n', start)) != std::string::npos; start = feed + 1)
        lines.push_back(text.substr(start, feed - start));
    if (start < text.size())
        lines.push_back(text.substr(start));
    return lines;
}

TextPage tablePage(std::string heading, std::string body, std::string notice,
                   const TablePagePlace& place, const Font* hud, const Font* small) {
    // Below a full table and above the footer.
    constexpr int32_t kNoticeY = 410;
    TextPage page;
    page.items = {
        {.flags = TextItem::HasColour | TextItem::HasFont,
         .text = std::move(heading),
         .colour = rgb(255, 255, 0),
         .x = 275,
         .y = 50,
         .font = hud},
        {.flags = TextItem::HasLineHeight | TextItem::HasFont,
         .text = std::move(body),
         .x = place.bodyX,
         .y = place.bodyY,
         .lineHeight = place.lineHeight,
         .font = small},
        {.flags = TextItem::HasColour | TextItem::HasFont,
         .text = "Press any key to return to game...",
         .colour = rgb(255, 0, 0),
         .x = 223,
         .y = 430,
         .font = small},
        {.flags = TextItem::HasColour | TextItem::HasFont,
         .text = std::move(notice),
         .colour = rgb(255, 255, 0),
         .x = place.noticeX,
         .y = kNoticeY,
         .font = small},
    };
    return page;
}

}  // namespace quelvane
