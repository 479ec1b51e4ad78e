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
// The first page names the keys the controls bind: with the defaults, the game's own text. With
// worldTable it names F3 too, the world table's page.
std::array<HelpPageText, 3> helpPageTexts(const platform::Controls& bindings,
                                          bool worldTable = false);

// Whether the help pages name the world table's key: only while there is a world table.
void nameWorldTableKey(bool named);

}  // namespace quelvane
