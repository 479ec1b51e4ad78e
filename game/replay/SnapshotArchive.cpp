#include "game/replay/SnapshotArchive.h"

namespace quelvane {

SnapshotReader::SnapshotReader(const std::string& bytes)
    : in_(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()), version_(0) {
    version_ = in_.u8();
    checkEnd();
    if (reason_.empty() && version_ != kSnapshotVersion && version_ != kSnapshotMessagesAsFields)
        fail("was saved in version " + std::to_string(version_) + ", which this game cannot read");
}

void SnapshotReader::finish() {
    if (reason_.empty() && !in_.atEnd())
        fail("has bytes after its end");
}

void SnapshotReader::flag(bool& v) {
    const uint8_t byte = in_.u8();
    checkEnd();
    if (byte > 1)
        fail("has a flag of " + std::to_string(byte));
    v = byte == 1;
}

void SnapshotReader::message(platform::Message& m) {
    if (version_ == kSnapshotMessagesAsFields) {
        oldMessage(m);
        return;
    }
    if (!readMessage(in_, m)) {
        checkEnd();
        fail("has a waiting message of no kind the game is handed");
    }
}

// Every field of the message, as the first saved games kept them; taken only when the message is
// one the messages' own layout can keep.
void SnapshotReader::oldMessage(platform::Message& m) {
    const uint8_t kind = in_.u8();
    checkEnd();
    if (kind > static_cast<uint8_t>(platform::MessageKind::Paint))
        fail("has a waiting message of unknown kind " + std::to_string(kind));
    m.kind = static_cast<platform::MessageKind>(kind);
    number(m.key);
    flag(m.repeat);
    number(m.x);
    number(m.y);
    number(m.typed);
    if (!reason_.empty())
        return;
    ByteWriter kept;
    writeMessage(kept, m);
    ByteReader back(kept.out.data(), kept.out.size());
    platform::Message read;
    const bool mouse = m.kind == platform::MessageKind::MouseMove;
    if (!readMessage(back, read) || read.kind != m.kind || read.key != m.key ||
        read.repeat != m.repeat || read.typed != m.typed || (!mouse && (m.x != 0 || m.y != 0)))
        fail("has a waiting message holding what no message of its kind has");
}

void SnapshotReader::none(uint64_t& count, const char* what) {
    count = in_.varint();
    checkEnd();
    // Nothing says how the things of such a list would be kept: no reading goes past one.
    if (count != 0 && reason_.empty())
        reason_ =
            "not a new game: it begins with " + counted(count, what) + "; a new game has none";
}

void SnapshotReader::fail(const std::string& why) {
    if (reason_.empty())
        reason_ = "damaged: its first state " + why;
}

void SnapshotReader::checkEnd() {
    if (in_.failed())
        fail("ends early");
}

}  // namespace quelvane
