#include "platform/VirtualKeys.h"

#include <SDL_scancode.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <string>
#include <utility>

namespace platform {

int virtualKeyFromScancode(int scancode) {
    if (scancode >= SDL_SCANCODE_A && scancode <= SDL_SCANCODE_Z) {
        return vk::kLetterA + (scancode - SDL_SCANCODE_A);
    }
    // SDL orders the top row 1 to 9 and then 0.
    if (scancode >= SDL_SCANCODE_1 && scancode <= SDL_SCANCODE_9) {
        return vk::kDigit0 + 1 + (scancode - SDL_SCANCODE_1);
    }
    if (scancode >= SDL_SCANCODE_F1 && scancode <= SDL_SCANCODE_F12) {
        return vk::kF1 + (scancode - SDL_SCANCODE_F1);
    }
    if (scancode >= SDL_SCANCODE_KP_1 && scancode <= SDL_SCANCODE_KP_9) {
        return 97 + (scancode - SDL_SCANCODE_KP_1);  // the keypad digits
    }
    switch (scancode) {
        case SDL_SCANCODE_0:
            return vk::kDigit0;
        case SDL_SCANCODE_KP_0:
            return 96;
        case SDL_SCANCODE_RETURN:
        case SDL_SCANCODE_KP_ENTER:
            return vk::kEnter;
        case SDL_SCANCODE_LSHIFT:
        case SDL_SCANCODE_RSHIFT:
            return vk::kShift;
        case SDL_SCANCODE_LCTRL:
        case SDL_SCANCODE_RCTRL:
            return vk::kCtrl;
        case SDL_SCANCODE_LALT:
        case SDL_SCANCODE_RALT:
            return vk::kAlt;
        case SDL_SCANCODE_ESCAPE:
            return vk::kEscape;
        case SDL_SCANCODE_BACKSPACE:
            return vk::kBackspace;
        case SDL_SCANCODE_TAB:
            return vk::kTab;
        case SDL_SCANCODE_SPACE:
            return vk::kSpace;
        case SDL_SCANCODE_LEFT:
            return vk::kLeft;
        case SDL_SCANCODE_UP:
            return vk::kUp;
        case SDL_SCANCODE_RIGHT:
            return vk::kRight;
        case SDL_SCANCODE_DOWN:
            return vk::kDown;
        case SDL_SCANCODE_SEMICOLON:
            return 186;
        case SDL_SCANCODE_EQUALS:
            return 187;
        case SDL_SCANCODE_COMMA:
            return 188;
        case SDL_SCANCODE_MINUS:
            return 189;
        case SDL_SCANCODE_PERIOD:
            return 190;
        case SDL_SCANCODE_SLASH:
            return 191;
        case SDL_SCANCODE_GRAVE:
            return 192;
        case SDL_SCANCODE_LEFTBRACKET:
            return 219;
        case SDL_SCANCODE_BACKSLASH:
            return 220;
        case SDL_SCANCODE_RIGHTBRACKET:
            return 221;
        case SDL_SCANCODE_APOSTROPHE:
            return 222;
        default:
            return 0;
    }
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
    static constexpr std::array<std::pair<std::string_view, int>, 14> kNames{{
        {"ctrl", vk::kCtrl},
        {"control", vk::kCtrl},
        {"shift", vk::kShift},
        {"alt", vk::kAlt},
        {"enter", vk::kEnter},
        {"return", vk::kEnter},
        {"esc", vk::kEscape},
        {"escape", vk::kEscape},
        {"space", vk::kSpace},
        {"left", vk::kLeft},
        {"up", vk::kUp},
        {"right", vk::kRight},
        {"down", vk::kDown},
        {"backspace", vk::kBackspace},
    }};
    for (const auto& [n, code] : kNames) {
        if (n == lower)
            return code;
    }
    return std::nullopt;
}

}  // namespace platform
