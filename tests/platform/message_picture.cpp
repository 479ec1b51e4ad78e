// Writes the picture the game draws of a message, as its own window shows one where the desktop
// has no dialog for it, so that a test can hold a capture of the screen against it:
//   message_picture TEXT FILE.bmp
#include <cstdio>

#include "game/gfx/BitmapFile.h"
#include "game/screens/MessagePicture.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: message_picture TEXT FILE.bmp\n");
        return 2;
    }
    platform::MessagePicture picture = quelvane::drawMessage(argv[1]);
    if (picture.pixels.empty()) {
        std::fprintf(stderr, "message_picture: no font to draw with\n");
        return 1;
    }
    return quelvane::writeBmp(argv[2], {picture.width, picture.height, std::move(picture.pixels)})
               ? 0
               : 1;
}
