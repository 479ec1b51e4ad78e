#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace platform {

// A message drawn by the game in its own font: width x height XRGB8888 pixels, row after row.
struct MessagePicture {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;
};

// Draws the text of a message. The game gives one before anything can go wrong, so that a message
// the desktop cannot show in a dialog of its own (an X server without core fonts, Wayland without
// a helper program) is still seen. null for none.
using MessagePainter = MessagePicture (*)(std::string_view text);
void useMessagePainter(MessagePainter painter);

// Shows the painter's picture of text in a window of its own titled caption until Enter, Esc, a
// click or the window's close. What arrives for the game meanwhile waits for it. False when there
// is no painter or no window can be made.
bool showMessageWindow(const char* caption, const char* text);

}  // namespace platform
