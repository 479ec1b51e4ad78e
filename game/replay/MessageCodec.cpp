#include "game/replay/MessageCodec.h"

#include <cstdint>

namespace quelvane {

namespace {

enum KeptKind : uint8_t {
    kKeyDown = 0,
    kKeyRepeat = 1,
    kKeyUp = 2,
    kClose = 3,
    kMouseMove = 4,
    kPaint = 5,
};
constexpr uint8_t kTypedFollows = 0x80;

uint8_t keptKind(const platform::Message& m) {
    switch (m.kind) {
        case platform::MessageKind::KeyDown:
            return m.repeat ? kKeyRepeat : kKeyDown;
        case platform::MessageKind::KeyUp:
            return kKeyUp;
        case platform::MessageKind::MouseMove:
            return kMouseMove;
        case platform::MessageKind::Paint:
            return kPaint;
        default:
            return kClose;
    }
}

platform::MessageKind messageKind(uint8_t kept) {
    switch (kept) {
        case kKeyDown:
        case kKeyRepeat:
            return platform::MessageKind::KeyDown;
        case kKeyUp:
            return platform::MessageKind::KeyUp;
        case kMouseMove:
            return platform::MessageKind::MouseMove;
        case kPaint:
            return platform::MessageKind::Paint;
        default:
            return platform::MessageKind::Close;
    }
}

}  // namespace

void writeMessage(ByteWriter& w, const platform::Message& m) {
    const bool typed = m.kind == platform::MessageKind::KeyDown && m.typed >= 0;
    w.u8(keptKind(m) | (typed ? kTypedFollows : 0));
    w.u8(static_cast<uint8_t>(m.key));
    if (typed)
        w.u8(static_cast<uint8_t>(m.typed));
}

bool readMessage(ByteReader& r, platform::Message& m) {
    const uint8_t byte = r.u8();
    const uint8_t kind = byte & ~kTypedFollows;
    const uint8_t key = r.u8();
    const int typed = byte & kTypedFollows ? r.u8() : -1;
    const bool isKey = kind <= kKeyUp;
    if (r.failed() || kind > kPaint || (typed >= 0 && kind > kKeyRepeat) || (!isKey && key != 0))
        return false;
    // A key types a printable character or none; a key the game has no code for (0) is handed
    // only as it goes down and types one.
    if (typed > 0 && !platform::typable(typed))
        return false;
    if (isKey && key == 0 && typed <= 0)
        return false;
    m = platform::Message{messageKind(kind), key, kind == kKeyRepeat};
    m.typed = typed;
    return true;
}

}  // namespace quelvane
