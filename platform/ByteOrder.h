#pragma once

#include <cstdint>
#include <vector>

// Unsigned numbers of 1 to 4 bytes as files store them, whatever the machine's own order: RIFF
// (WAV) and BMP files are little-endian, Standard MIDI Files big-endian.
namespace byteorder {

constexpr uint32_t readLe(const uint8_t* p, int bytes) {
    uint32_t value = 0;
    for (int i = bytes - 1; i >= 0; --i) {
        value = (value << 8) | p[i];
    }
    return value;
}

constexpr uint32_t readBe(const uint8_t* p, int bytes) {
    uint32_t value = 0;
    for (int i = 0; i < bytes; ++i) {
        value = (value << 8) | p[i];
    }
    return value;
}

constexpr uint16_t readLe16(const uint8_t* p) {
    return static_cast<uint16_t>(readLe(p, 2));
}
constexpr uint32_t readLe32(const uint8_t* p) {
    return readLe(p, 4);
}
constexpr uint16_t readBe16(const uint8_t* p) {
    return static_cast<uint16_t>(readBe(p, 2));
}
constexpr uint32_t readBe32(const uint8_t* p) {
    return readBe(p, 4);
}

constexpr void writeLe(uint8_t* p, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        p[i] = static_cast<uint8_t>(value >> (8 * i));
    }
}

constexpr void writeBe(uint8_t* p, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        p[i] = static_cast<uint8_t>(value >> (8 * (bytes - 1 - i)));
    }
}

inline void appendLe(std::vector<uint8_t>& out, uint32_t value, int bytes) {
    out.resize(out.size() + static_cast<std::size_t>(bytes));
    writeLe(out.data() + out.size() - bytes, value, bytes);
}

inline void appendBe(std::vector<uint8_t>& out, uint32_t value, int bytes) {
    out.resize(out.size() + static_cast<std::size_t>(bytes));
    writeBe(out.data() + out.size() - bytes, value, bytes);
}

}  // namespace byteorder
