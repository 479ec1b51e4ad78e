#pragma once

#include <string_view>

#include "platform/MessageWindow.h"

namespace quelvane {

// A message as the game shows it when the desktop cannot: its lines in the HUD's font, white on
// black in a grey frame, with the way to close it in yellow below. Lines too long for the screen
// are wrapped at a space. Empty when no font can be loaded.
platform::MessagePicture drawMessage(std::string_view text);

}  // namespace quelvane
