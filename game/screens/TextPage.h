#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "game/gfx/Colour.h"

namespace quelvane {

class Font;

// One block of text of a page; each line feed starts a new line.
struct TextItem {
    enum Flags : uint32_t {
        Transparent = 1,
        HasColour = 2,
        HasBackColour = 4,
        HasLineHeight = 8,
        HasFont = 16,
    };
    uint32_t flags = 0;
    std::string text;
    ColourRef colour = 0;      // with HasColour; else white
    ColourRef backColour = 0;  // with HasBackColour; else black
    int32_t x = 0;
    int32_t y = 0;
    int32_t lineHeight = 0;      // with HasLineHeight; else 16
    const Font* font = nullptr;  // with HasFont, borrowed; else the font the display has
};

// A page of text shown until one of its keys is pressed; with no keys given, any key ends it.
struct TextPage {
    std::vector<TextItem> items;
    std::string exitChars;  // each character taken as a key code
    std::vector<int32_t> exitKeys;
};

// Shows the page until a key that ends it is pressed or the game is to end. Key-down messages are
// consumed here; every other message goes to the window procedure.
void showTextPage(const TextPage& page);
// The same for a page whose text changes while it is shown: page gives it afresh for every pass.
// A key for which takeKey answers true is the page's own to act on, and ends nothing.
void showChangingPage(const std::function<TextPage()>& page,
                      const std::function<bool(int key)>& takeKey = {});

// Where a table page (the high scores, the world table) puts its body and its notice.
struct TablePagePlace {
    int32_t bodyX = 0;
    int32_t bodyY = 0;
    int32_t lineHeight = 0;
    int32_t noticeX = 0;
};
// A table page: its heading in yellow in the HUD font, its body in the small font, a yellow notice
// line above the red footer that says any key returns to the game. Its items are in that order:
// heading, body, footer, notice (an empty notice draws nothing). The fonts are borrowed.
TextPage tablePage(std::string heading, std::string body, std::string notice,
                   const TablePagePlace& place, const Font* hud, const Font* small);

// The lines of a text: cut at every line feed, an empty piece included, and the piece after the
// last line feed only when it is not empty.
std::vector<std::string> splitLines(const std::string& text);

}  // namespace quelvane
