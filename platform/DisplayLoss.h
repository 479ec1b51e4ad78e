#pragma once

namespace platform {

// A game whose display is gone (its X server ended: a session logged out, a crashed server, a
// dropped forwarded display) ends at once with status kDisplayLostStatus and one line on standard
// error. Xlib's own handler calls exit, whose clean-up would ask SDL to close the window on the
// dead connection, where it waits for an answer for ever, spinning. Nothing is lost by ending
// without clean-up: the game's files are written whenever they change. Called once SDL's video
// has opened its display; nothing happens on other displays.
void endWhenTheDisplayIsLost();

inline constexpr int kDisplayLostStatus = 1;

}  // namespace platform
