#pragma once

#include <initializer_list>

namespace quelvane {

// How the screens read the keys: by asking for a key's state, which also forgets an earlier press.

// The key is down, or was pressed since it was last asked about.
bool keyPressed(int key);

// G or Ctrl down, or pressed since they were last asked about.
bool attackPressed();

// Asks for each key and drops the answer, so that a press before now counts no more.
void forgetKeys(std::initializer_list<int> keys);

// Empties the message queue: key-down messages (and mouse moves, when asked) are dropped unseen;
// every other message goes to the window procedure.
void drainDropping(bool dropMouseMoves);

}  // namespace quelvane
