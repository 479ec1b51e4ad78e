#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace platform {

// What reading a whole file found: its bytes, or why there are none.
struct WholeFile {
    enum class Fault { None, CannotOpen, NotRegular, TooLarge, ReadError };
    Fault fault = Fault::None;
    int error = 0;            // the errno of CannotOpen and ReadError
    std::uintmax_t size = 0;  // the file's size, TooLarge's too
    std::vector<uint8_t> bytes;
};

// Reads a plain file, or one a link leads to, of at most maxBytes. It is opened without waiting
// and looked at before a byte is read: a pipe would wait for a writer and a device never end, so
// both are refused as not regular.
WholeFile readWholeFile(const std::filesystem::path& file, std::uintmax_t maxBytes);

// How a message says each fault, in a few lower-case words. The plain words serve the asset
// readers; a reader whose messages read otherwise gives its own.
struct FaultWords {
    // Empty: why the open failed, from its errno ("no such file", "permission denied").
    std::string cannotOpen;
    std::string notRegular = "not a regular file";
    // Empty: "too large (SIZE bytes, at most MAX)".
    std::string tooLarge;
    std::string readError = "read error";
};

// Why file, read with maxBytes, has no bytes, as words say it; empty when it was read.
std::string describe(const WholeFile& file, std::uintmax_t maxBytes, const FaultWords& words = {});

}  // namespace platform
