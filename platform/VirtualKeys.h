#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace platform {

// The virtual-key codes the game speaks in.
namespace vk {
inline constexpr int kBackspace = 8;
inline constexpr int kTab = 9;
inline constexpr int kEnter = 13;
inline constexpr int kShift = 16;
inline constexpr int kCtrl = 17;
inline constexpr int kAlt = 18;
inline constexpr int kEscape = 27;
inline constexpr int kSpace = 32;
inline constexpr int kLeft = 37;
inline constexpr int kUp = 38;
inline constexpr int kRight = 39;
inline constexpr int kDown = 40;
inline constexpr int kDelete = 46;
inline constexpr int kDigit0 = 48;   // to 57
inline constexpr int kLetterA = 65;  // to 90
inline constexpr int kF1 = 112;      // to F12, 123
inline constexpr int kF2 = 113;
}  // namespace vk

// The code of a key by its physical place (an SDL scancode); 0 for keys the game has no code for.
int virtualKeyFromScancode(int scancode);

// A key named as in controls.ini and a replay's keys file: a code of two or more digits ("71"), a
// letter or digit ("G", "1"), or a name ("Ctrl", "Enter", "Esc", "F1", "Left", "Comma", ";", ...),
// ignoring letter case.
std::optional<int> virtualKeyFromName(std::string_view name);

// A key's name as the help pages and controls.ini show it ("G", "Ctrl", "F1", "Left"), which
// virtualKeyFromName reads back as the key.
std::string keyName(int key);

}  // namespace platform
