#include "game/online/WorldSettings.h"

#include <algorithm>
#include <cctype>
#include <cerrno>

#include "game/replay/RecordingCheck.h"
#include "platform/WholeFile.h"

namespace quelvane::online {

namespace {

constexpr std::uintmax_t kMostFileBytes = 4096;

std::string_view trim(std::string_view text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())))
        text.remove_prefix(1);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
        text.remove_suffix(1);
    return text;
}

// Why text is no server's address the game can use; empty when it is.
std::string serverFault(std::string_view url) {
    const size_t colon = url.find("://");
    const std::string_view scheme = colon == std::string_view::npos ? "" : url.substr(0, colon);
    if (scheme != "http" && scheme != "https")
        return "the server's address begins with http:// or https://";
    const std::string_view host = url.substr(colon + 3);
    if (host.empty() || host.front() == ':')
        return "the server's address names no host";
    if (std::any_of(host.begin(), host.end(), [](char c) {
            return c == '/' || c == '?' || c == '#' || c == '@' ||
                   std::isspace(static_cast<unsigned char>(c));
        }))
        return "the server's address is its scheme, host and port alone (http://host:port)";
    return {};
}

}  // namespace

std::optional<std::string> latin1(std::string_view text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            out += static_cast<char>(c);
            continue;
        }
        if ((c != 0xc2 && c != 0xc3) || i + 1 == text.size())
            return std::nullopt;
        const auto next = static_cast<unsigned char>(text[++i]);
        if ((next & 0xc0) != 0x80)
            return std::nullopt;
        out += static_cast<char>(((c & 0x03) << 6) | (next & 0x3f));
    }
    return out;
}

std::optional<WorldSettings> parseWorldSettings(std::string_view text, const std::string& name,
                                                std::vector<std::string>& problems) {
    WorldSettings settings;
    const size_t told = problems.size();
    int number = 0;
    while (!text.empty()) {
        const size_t end = std::min(text.find('\n'), text.size());
        const std::string_view line = trim(text.substr(0, end));
        text.remove_prefix(std::min(end + 1, text.size()));
        const auto problem = [&](const std::string& reason) {
            problems.push_back(name + ":" + std::to_string(number) + ": ");
            problems.back() += reason;
        };
        ++number;
        if (line.empty() || line.front() == '#')
            continue;
        const size_t equals = line.find('=');
        const std::string_view key = trim(line.substr(0, std::min(equals, line.size())));
        const std::string_view value =
            equals == std::string_view::npos ? "" : trim(line.substr(equals + 1));
        if (equals == std::string_view::npos) {
            problem("expected KEY = VALUE, got '" + std::string(line) + "'");
        } else if (key == "server") {
            settings.server = std::string(value.substr(0, value.find_last_not_of('/') + 1));
            if (const std::string fault = serverFault(settings.server); !fault.empty())
                problem(fault);
        } else if (key == "name") {
            const std::optional<std::string> typed = latin1(value);
            if (!typed || !typableName(*typed))
                problem(
                    "the name is longer than the game's name prompt takes, or holds a "
                    "character no key types");
            else
                settings.name = *typed;
        } else {
            problem("unknown key '" + std::string(key) + "' (server or name)");
        }
    }
    if (problems.size() == told && settings.server.empty())
        problems.push_back(name + ": no server = URL line");
    if (problems.size() != told)
        return std::nullopt;
    return settings;
}

std::optional<WorldSettings> readWorldSettings(const std::filesystem::path& file,
                                               std::vector<std::string>& problems) {
    const platform::WholeFile read = platform::readWholeFile(file, kMostFileBytes);
    if (read.fault == platform::WholeFile::Fault::CannotOpen && read.error == ENOENT)
        return std::nullopt;
    if (read.fault != platform::WholeFile::Fault::None) {
        problems.push_back(file.string() + ": " + platform::describe(read, kMostFileBytes));
        return std::nullopt;
    }
    return parseWorldSettings(
        std::string_view(reinterpret_cast<const char*>(read.bytes.data()), read.bytes.size()),
        file.string(), problems);
}

}  // namespace quelvane::online
