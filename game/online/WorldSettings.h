#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quelvane::online {

// world.ini, beside controls.ini: the world table's server and the name the player goes by there.
// Without it nothing of the player's leaves the machine.
inline constexpr const char* kWorldSettingsFile = "world.ini";

struct WorldSettings {
    std::string server;  // "http://host:port" or "https://host", with no path and no slash after
    std::string name;    // for games that took no place in the player's own table
};

// Text in UTF-8 (world.ini's, the server's answers) as the game's names are, Latin-1 as its name
// prompt types them; none for a character past Latin-1 or text that is not UTF-8.
std::optional<std::string> latin1(std::string_view text);

// Reads world.ini's text: `server = URL` and `name = NAME` lines, # comments. Every fault is told
// in problems as "NAME:LINE: reason" or "NAME: reason"; a text with any fault gives none, and so
// does one without a server.
std::optional<WorldSettings> parseWorldSettings(std::string_view text, const std::string& name,
                                                std::vector<std::string>& problems);

// The same for the file: none without a problem when there is no file.
std::optional<WorldSettings> readWorldSettings(const std::filesystem::path& file,
                                               std::vector<std::string>& problems);

}  // namespace quelvane::online
