#pragma once

#include <cstdint>
#include <limits>
#include <string>
#include <type_traits>

#include "game/replay/ByteStream.h"
#include "game/replay/MessageCodec.h"
#include "platform/Message.h"

namespace quelvane {

// The two ends of a saved game's bytes. A description of the fields, visit(archive, state), runs
// with either: the writer takes each field as it comes, the reader puts each back, so that what is
// read is what was written, field for field. Numbers are little-endian, 32 bits; flags one byte.

// Which layout a snapshot's waiting messages have: 2 kept every field of a message, 3 keeps them
// as the replay file keeps the messages it recorded.
inline constexpr uint8_t kSnapshotMessagesAsFields = 2;
inline constexpr uint8_t kSnapshotVersion = 3;

class SnapshotWriter {
  public:
    void flag(bool v) { out.u8(v ? 1 : 0); }
    template <class Number>
    void number(Number v) {
        out.le(static_cast<uint32_t>(static_cast<int32_t>(v)), 4);
    }
    void u32(uint32_t v) { out.le(v, 4); }
    void f32(float v) { out.f32(v); }
    void message(const platform::Message& m) { writeMessage(out, m); }
    // A list of at most `most` items, each described by visit(archive, item); a list of a fixed
    // length is kept with its length all the same.
    template <class List, class Visit>
    void items(List& list, uint64_t, const char*, Visit visit) {
        out.varint(list.size());
        for (auto& item : list)
            visit(*this, item);
    }
    template <class Array, class Visit>
    void fixed(Array& array, const char* what, Visit visit) {
        items(array, array.size(), what, visit);
    }
    // The length of a list a new game has nothing in.
    void none(uint64_t count, const char*) { out.varint(count); }

    ByteWriter out;
};

// The first field that is not one the writer can have written gives the reason, and no list is
// read on past it.
class SnapshotReader {
  public:
    SnapshotReader(const std::string& bytes, uint8_t version)
        : in_(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()), version_(version) {}
    // From a snapshot's start: its version first.
    explicit SnapshotReader(const std::string& bytes);

    // Why the snapshot cannot be read, or holds what a new game cannot; empty while every field has
    // read. Once all have, finish() refuses bytes left over.
    const std::string& reason() const { return reason_; }
    void finish();

    void flag(bool& v);
    template <class Number>
    void number(Number& v) {
        const auto raw = static_cast<int32_t>(in_.le(4));
        using Limits = std::numeric_limits<Number>;
        if constexpr (std::is_integral_v<Number> && sizeof(Number) < sizeof(int32_t)) {
            if (raw < Limits::min() || raw > Limits::max())
                fail("has a number out of its range");
        }
        v = static_cast<Number>(raw);
        checkEnd();
    }
    void u32(uint32_t& v) {
        v = static_cast<uint32_t>(in_.le(4));
        checkEnd();
    }
    void f32(float& v) {
        v = in_.f32();
        checkEnd();
    }
    void message(platform::Message& m);
    template <class List, class Visit>
    void items(List& list, uint64_t most, const char* what, Visit visit) {
        const uint64_t count = in_.varint();
        checkEnd();
        if (count > most)
            fail("holds " + counted(count, what) + ", more than the game does");
        for (uint64_t i = 0; i < count && reason_.empty(); ++i)
            visit(*this, list.emplace_back());
    }
    template <class Array, class Visit>
    void fixed(Array& array, const char* what, Visit visit) {
        const uint64_t count = in_.varint();
        checkEnd();
        if (count != array.size())
            fail("holds " + counted(count, what) + " where the game has " +
                 std::to_string(array.size()));
        for (size_t i = 0; i < array.size() && reason_.empty(); ++i)
            visit(*this, array[i]);
    }
    void none(uint64_t& count, const char* what);

  private:
    static std::string counted(uint64_t count, const char* what) {
        return std::to_string(count) + " " + what;
    }
    void fail(const std::string& why);
    void checkEnd();
    void oldMessage(platform::Message& m);

    ByteReader in_;
    uint8_t version_;
    std::string reason_;
};

}  // namespace quelvane
