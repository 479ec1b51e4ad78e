#pragma once

#include <cctype>
#include <cerrno>
#include <cstring>
#include <string>

// Why a file could not be opened, in a few lower-case words for a message ("no such file",
// "permission denied"), from the errno the failed open left.
inline std::string openFailure(int error) {
    if (error == ENOENT)
        return "no such file";
    std::string text = std::strerror(error);
    if (!text.empty())
        text[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(text[0])));
    return text;
}
