#pragma once

#include <array>
#include <string>

#include "platform/Controls.h"

namespace quelvane {

// The three help pages, each shown until any key is pressed: from the title screen (F1) and from
// play (F1).
void showHelp();

// What one help page says: a heading, the body and the line that says how to go on.
struct HelpPageText {
    std::string heading;
    std::string body;
    std::string footer;
};
// The first page names the keys the controls bind: with the defaults, the game's own text.
std::array<HelpPageText, 3> helpPageTexts(const platform::Controls& bindings);

}  // namespace quelvane
