#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Controls.h"

namespace platform {

// Reads controls.ini's text. Every line that names an unknown action, key or input, a key or input
// bound to two actions, or an action bound twice, is told in problems as "NAME:LINE: reason"; the
// actions a line got wrong keep their defaults (less what other lines took), the rest is used.
Controls parseControls(std::string_view text, const std::string& name,
                       std::vector<std::string>& problems);

// The same for a file; one that cannot be read, or is too large to be one, gives the defaults and
// says why.
Controls readControls(const std::filesystem::path& file, std::vector<std::string>& problems);

// The file written on the first start: the defaults, with what the names mean.
std::string defaultControlsFile();

}  // namespace platform
