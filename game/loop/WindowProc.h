#pragma once

#include "platform/Message.h"

namespace quelvane {

// What the game does with each message of its window.
void windowProc(const platform::Message& message);

}  // namespace quelvane
