#pragma once

#include "game/replay/ByteStream.h"
#include "platform/Message.h"

namespace quelvane {

// How a replay keeps a message of the platform's queue: one byte for its kind (a key-down's
// auto-repeat a kind of its own) with a flag when the character it types follows, one byte for its
// key, then that character. The recorded messages and the messages a saved game still holds are
// kept alike. A mouse move's place is not kept: the game reads none.
void writeMessage(ByteWriter& w, const platform::Message& m);

// The message written there; false, with m unchanged, for bytes that name no message the queue
// holds: an unknown kind, a key or a character on a message that has none.
bool readMessage(ByteReader& r, platform::Message& m);

}  // namespace quelvane
