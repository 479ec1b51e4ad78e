#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace quelvane {

// Appends numbers and text in the file's little-endian and variable-length forms.
class ByteWriter {
  public:
    void u8(uint8_t v) { out.push_back(v); }
    void le(uint64_t v, int bytes) {
        for (int i = 0; i < bytes; ++i)
            out.push_back(static_cast<uint8_t>(v >> (8 * i)));
    }
    // Seven bits a byte, the high bit saying that more follow.
    void varint(uint64_t v) {
        while (v >= 0x80) {
            out.push_back(static_cast<uint8_t>(v | 0x80));
            v >>= 7;
        }
        out.push_back(static_cast<uint8_t>(v));
    }
    void f32(float v) {
        uint32_t bits;
        std::memcpy(&bits, &v, sizeof bits);
        le(bits, 4);
    }
    void text(const std::string& s) {
        varint(s.size());
        out.insert(out.end(), s.begin(), s.end());
    }
    std::vector<uint8_t> out;
};

// Reads what ByteWriter wrote; any read past the end, or a number beyond its bound, sets failed and
// gives zeros from then on, so a damaged recording is found without reading outside it.
class ByteReader {
  public:
    ByteReader(const uint8_t* data, size_t size) : p_(data), end_(data + size) {}

    bool failed() const { return failed_; }
    size_t left() const { return static_cast<size_t>(end_ - p_); }
    bool atEnd() const { return p_ == end_; }

    uint8_t u8() { return static_cast<uint8_t>(le(1)); }
    uint64_t le(int bytes) {
        if (failed_ || left() < static_cast<size_t>(bytes))
            return fail();
        uint64_t v = 0;
        for (int i = bytes - 1; i >= 0; --i)
            v = (v << 8) | p_[i];
        p_ += bytes;
        return v;
    }
    uint64_t varint(uint64_t bound = UINT64_MAX) {
        uint64_t v = 0;
        for (int shift = 0; shift < 64; shift += 7) {
            if (failed_ || atEnd())
                return fail();
            const uint8_t b = *p_++;
            v |= static_cast<uint64_t>(b & 0x7F) << shift;
            if ((b & 0x80) == 0)
                return v <= bound ? v : fail();
        }
        return fail();
    }
    float f32() {
        const auto bits = static_cast<uint32_t>(le(4));
        float v;
        std::memcpy(&v, &bits, sizeof v);
        return v;
    }
    std::string text(size_t bound) {
        const uint64_t size = varint(bound);
        if (failed_ || size > left())
            return fail(), std::string();
        std::string s(reinterpret_cast<const char*>(p_), size);
        p_ += size;
        return s;
    }
    // A count of items that each take at least smallest bytes: no more than the bytes left can
    // hold, nor than most. What holds items can be reserved to it.
    uint64_t count(uint64_t most, uint64_t smallest = 1) {
        return varint(std::min<uint64_t>(most, left() / smallest));
    }

  private:
    uint64_t fail() {
        failed_ = true;
        return 0;
    }
    const uint8_t* p_;
    const uint8_t* end_;
    bool failed_ = false;
};

}  // namespace quelvane
