#pragma once

#include <cstdint>

namespace platform {

enum class MessageKind {
    KeyDown,
    KeyUp,
    Close,
    MouseMove,
    Paint,
    // The platform handles these itself; they never reach the game's queue.
    FocusLost,
    FocusGained,
    Minimised,
    Restored,
    ToggleFullScreen,
};

// One message of the window's queue. Keys are virtual-key codes (see VirtualKeys.h).
struct Message {
    MessageKind kind = MessageKind::Paint;
    int key = 0;          // KeyDown, KeyUp
    bool repeat = false;  // KeyDown sent by the keyboard's auto-repeat
    int x = 0;            // MouseMove
    int y = 0;
    // KeyDown: the character the key types in the player's keyboard layout, a byte of Latin-1, 0
    // for none; -1 when the source cannot tell (scripted keys), and the key types what it does
    // on a US keyboard.
    int typed = -1;
    bool operator==(const Message&) const = default;
};

// The messages that change what the game keeps, which its observers are told of: keys and a close.
// Mouse moves and repaints change nothing.
inline bool changesGame(const Message& m) {
    return m.kind == MessageKind::KeyDown || m.kind == MessageKind::KeyUp ||
           m.kind == MessageKind::Close;
}

// A Latin-1 character a key can type: the printable ones, no control character.
inline bool typable(int code) {
    return (code >= 0x20 && code < 0x7F) || (code >= 0xA0 && code <= 0xFF);
}

}  // namespace platform
