#include "platform/VirtualKeys.h"

#include <SDL_scancode.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <string>
#include <utility>

namespace platform {

namespace {

// The keys that are neither letters, top-row digits 1 to 9, F keys nor keypad digits 1 to 9, which
// run in order in both numberings.
constexpr std::pair<int, int> kScancodeKeys[] = {
    {SDL_SCANCODE_0, vk::kDigit0},
    {SDL_SCANCODE_KP_0, 96},
    {SDL_SCANCODE_RETURN, vk::kEnter},
    {SDL_SCANCODE_KP_ENTER, vk::kEnter},
    {SDL_SCANCODE_LSHIFT, vk::kShift},
    {SDL_SCANCODE_RSHIFT, vk::kShift},
    {SDL_SCANCODE_LCTRL, vk::kCtrl},
    {SDL_SCANCODE_RCTRL, vk::kCtrl},
    {SDL_SCANCODE_LALT, vk::kAlt},
    {SDL_SCANCODE_RALT, vk::kAlt},
    {SDL_SCANCODE_ESCAPE, vk::kEscape},
    {SDL_SCANCODE_BACKSPACE, vk::kBackspace},
    {SDL_SCANCODE_TAB, vk::kTab},
    {SDL_SCANCODE_SPACE, vk::kSpace},
    {SDL_SCANCODE_LEFT, vk::kLeft},
    {SDL_SCANCODE_UP, vk::kUp},
    {SDL_SCANCODE_RIGHT, vk::kRight},
    {SDL_SCANCODE_DOWN, vk::kDown},
    {SDL_SCANCODE_DELETE, vk::kDelete},
    // The punctuation keys where a US keyboard has them.
    {SDL_SCANCODE_SEMICOLON, 186},
    {SDL_SCANCODE_EQUALS, 187},
    {SDL_SCANCODE_COMMA, 188},
    {SDL_SCANCODE_MINUS, 189},
    {SDL_SCANCODE_PERIOD, 190},
    {SDL_SCANCODE_SLASH, 191},
    {SDL_SCANCODE_GRAVE, 192},
    {SDL_SCANCODE_LEFTBRACKET, 219},
    {SDL_SCANCODE_BACKSLASH, 220},
    {SDL_SCANCODE_RIGHTBRACKET, 221},
    {SDL_SCANCODE_APOSTROPHE, 222},
};

// Every key with a name of its own. A key's first name is the one shown; the others are read too.
// The punctuation keys are where a US keyboard has them; a comma is named, since controls.ini
// separates keys with commas.
constexpr std::pair<std::string_view, int> kKeyNames[] = {
    {"Ctrl", vk::kCtrl},
    {"Control", vk::kCtrl},
    {"Shift", vk::kShift},
    {"Alt", vk::kAlt},
    {"Enter", vk::kEnter},
    {"Return", vk::kEnter},
    {"Esc", vk::kEscape},
    {"Escape", vk::kEscape},
    {"Space", vk::kSpace},
    {"Left", vk::kLeft},
    {"Up", vk::kUp},
    {"Right", vk::kRight},
    {"Down", vk::kDown},
    {"Delete", vk::kDelete},
    {"Del", vk::kDelete},
    {"Backspace", vk::kBackspace},
    {"Tab", vk::kTab},
    {";", 186},
    {"=", 187},
    {"Comma", 188},
    {"-", 189},
    {".", 190},
    {"/", 191},
    {"`", 192},
    {"[", 219},
    {"\\", 220},
    {"]", 221},
    {"'", 222},
};

}  // namespace

int virtualKeyFromScancode(int scancode) {
    if (scancode >= SDL_SCANCODE_A && scancode <= SDL_SCANCODE_Z)
        return vk::kLetterA + (scancode - SDL_SCANCODE_A);
    // SDL orders the top row 1 to 9 and then 0.
    if (scancode >= SDL_SCANCODE_1 && scancode <= SDL_SCANCODE_9)
        return vk::kDigit0 + 1 + (scancode - SDL_SCANCODE_1);
    if (scancode >= SDL_SCANCODE_F1 && scancode <= SDL_SCANCODE_F12)
        return vk::kF1 + (scancode - SDL_SCANCODE_F1);
    if (scancode >= SDL_SCANCODE_KP_1 && scancode <= SDL_SCANCODE_KP_9)
        return 97 + (scancode - SDL_SCANCODE_KP_1);  // the keypad digits
    for (const auto& [code, key] : kScancodeKeys) {
        if (code == scancode)
            return key;
    }
    return 0;
}

std::optional<int> virtualKeyFromName(std::string_view name) {
    if (name.empty())
        return std::nullopt;
    // A single digit is the digit key; longer numbers are codes.
    if (name.size() == 1 && std::isdigit(static_cast<unsigned char>(name[0]))) {
        return vk::kDigit0 + (name[0] - '0');
    }
    int number = 0;
    const auto [end, err] = std::from_chars(name.data(), name.data() + name.size(), number);
    if (err == std::errc() && end == name.data() + name.size()) {
        if (number > 0 && number < 256)
            return number;
        return std::nullopt;
    }
    std::string lower(name);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (lower.size() == 1 && std::isalpha(static_cast<unsigned char>(lower[0]))) {
        return vk::kLetterA + (lower[0] - 'a');
    }
    if (lower[0] == 'f' && lower.size() <= 3) {
        int f = 0;
        const auto [fend, ferr] = std::from_chars(lower.data() + 1, lower.data() + lower.size(), f);
        if (ferr == std::errc() && fend == lower.data() + lower.size() && f >= 1 && f <= 12) {
            return vk::kF1 + f - 1;
        }
    }
    for (const auto& [known, code] : kKeyNames) {
        if (known.size() == lower.size() &&
            std::equal(known.begin(), known.end(), lower.begin(), [](char a, char b) {
                return std::tolower(static_cast<unsigned char>(a)) == b;
            }))
            return code;
    }
    return std::nullopt;
}

std::string keyName(int key) {
    if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9'))
        return std::string(1, static_cast<char>(key));
    if (key >= vk::kF1 && key < vk::kF1 + 12)
        return "F" + std::to_string(key - vk::kF1 + 1);
    for (const auto& [name, code] : kKeyNames) {
        if (code == key)
            return std::string(name);
    }
    // A code of one digit would read back as that digit's key.
    if (key > 0 && key < 10)
        return "0" + std::to_string(key);
    return std::to_string(key);
}

}  // namespace platform
