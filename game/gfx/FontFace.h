#pragma once

#include <string>

namespace quelvane {

// The file of the monospace face the game's text is drawn in, bold or regular, or "" when there
// is none: on the desktop the one fontconfig picks (Liberation Mono first), in a browser the copy
// packed with the page.
std::string findMonospaceFace(bool bold);

}  // namespace quelvane
