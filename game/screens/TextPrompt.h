#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "game/gfx/Colour.h"

namespace quelvane {

// A screen that asks for a line of text: the prompt above, the typed text with a cursor below.
struct TextPrompt {
    enum Flags : uint32_t {
        DrawPrompt = 0x001,  // also takes promptColour
        HasPromptColour = 0x002,
        HasInputColour = 0x004,
        HasBackColour = 0x008,
        CursorShown = 0x010,  // at the start; the cursor blinks
        CursorBlinks = 0x020,
        Transparent = 0x040,
        HasLineHeight = 0x100,
        AcceptEmpty = 0x200,  // Enter ends an empty text
    };
    uint32_t flags = 0;
    int32_t inputX = 0;
    int32_t inputY = 0;
    int32_t promptX = 0;
    int32_t promptY = 0;
    ColourRef backColour = 0;    // with HasBackColour; else black
    ColourRef inputColour = 0;   // with HasInputColour; else white
    ColourRef promptColour = 0;  // with DrawPrompt or HasPromptColour; else the typed text's colour
    int32_t lineHeight = 0;      // with HasLineHeight; else 16
    uint32_t blinkInterval = 0;  // milliseconds between the cursor's changes
    std::string prompt;          // each line feed starts a new line
    uint32_t maxLength = 0;      // characters that can be typed; 0 for no limit
};

// Runs the prompt until Enter ends the text or the game is to end, and returns the text typed so
// far. Key-down and key-up messages are consumed here; every other message goes to the window
// procedure. A key types the character of the player's layout, Shift applied, when the message
// says which; keys of scripted runs type as on a US keyboard: letters, digits, Space and the
// punctuation keys, with Shift for capitals and shifted signs. Backspace removes the last
// character, Enter ends the text; every other key is ignored.
std::string promptText(const TextPrompt& prompt);

// The character a key types on the US layout, with or without Shift: the digits and the
// punctuation keys (186 to 192, 219 to 222). None for any other key.
std::optional<char> keyToChar(int key, bool shift);

}  // namespace quelvane
