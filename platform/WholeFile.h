#pragma once

#include <cstdint>
#include <filesystem>
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

}  // namespace platform
