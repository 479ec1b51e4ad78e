#pragma once

#include <cstdint>
#include <deque>

#include "platform/KeyState.h"
#include "platform/Message.h"

namespace platform {

class Clock;
class EventSource;
class SeamTap;
class AttachedWindow;

// The operating-system services the game calls, served by the installed clock and event source (by
// default the system clock and SDL's events). One thread uses them; nothing here is locked.

// Stands still while the game is paused.
uint32_t tickCount();
// The same, unseen by the seam's tap: for what watches the game (a trace, a recording's marks),
// never for the game itself.
uint32_t peekTickCount();
void sleep(uint32_t ms);

// Takes the oldest waiting message, without blocking; false when the queue is empty.
bool peekMessage(Message& message);
// Takes the oldest waiting key-down message and leaves every other message in the queue.
bool peekKeyDownMessage(Message& message);
// Bit 15 while the key is down, bit 0 when it was pressed since the previous query of that key.
uint16_t asyncKeyState(int key);

// True when there is a desktop to show a window on: an X11 or Wayland session, or a video driver
// the user chose that draws on a real screen (not SDL's dummy or offscreen one).
bool hasGraphicalSession();

void showCursor(bool show);
// Shows a message and waits until it is closed; without a display it goes to standard error.
void messageBox(const char* text, const char* caption);
// The width of the screen the game draws on: its own 640, not the desktop's.
int screenWidth();

// null restores the default. The objects must outlive their use.
void useClock(Clock* clock);
void useEventSource(EventSource* source);
// Empties the queue, forgets every key's state and a close, and ends a pause.
void resetInput();

// True while the window has no keyboard focus or is minimised.
bool isPaused();
// Called with true when a pause begins and false when play goes on (the game stops its sound);
// null for none.
void onPauseChange(void (*handler)(bool paused));
// The window whose events the platform handles itself (F11, pauses); the window attaches itself
// while it is open.
void attachWindow(AttachedWindow* window);

// What the platform holds for the game between two of its queries: every key's state and the
// messages not taken yet. A saved game keeps them.
struct InputState {
    KeyState::Keys keys;
    std::deque<Message> queue;
};
InputState inputState();
void restoreInputState(const InputState& state);

// Shows what the game takes at the seam to tap, as it takes it; null for none. It must outlive its
// use.
void tapSeam(SeamTap* tap);

}  // namespace platform
