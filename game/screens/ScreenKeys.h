#pragma once

#include <initializer_list>

#include "platform/Controls.h"

namespace quelvane {

// How the screens read the keys: by asking for the state of the keys an action is bound to, which
// also forgets an earlier press of each key asked.

// One of the action's keys is down, or was pressed since it was last asked about; they are asked
// in the order they are bound, up to the first that answers.
bool actionPressed(platform::Action action);

// Asks for every key of the actions and drops the answers, so that a press before now counts no
// more.
void forgetActions(std::initializer_list<platform::Action> actions);

// Empties the message queue: key-down messages (and mouse moves, when asked) are dropped unseen;
// every other message goes to the window procedure.
void drainDropping(bool dropMouseMoves);

}  // namespace quelvane
