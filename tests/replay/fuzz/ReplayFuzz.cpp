// libFuzzer target: the replay file reader. Whatever it accepts must come back the same through
// the writer, so that no field is read otherwise than it is written.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "game/replay/ReplayFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::vector<uint8_t> bytes(data, data + size);
    const quelvane::ReplayRead read = quelvane::decodeReplay(bytes, 0);
    quelvane::peekReplayHeader(bytes);
    if (read.recording) {
        const quelvane::ReplayRead again =
            quelvane::decodeReplay(quelvane::encodeReplay(*read.recording), 0);
        if (!again.recording || !(*again.recording == *read.recording))
            std::abort();
    }
    return 0;
}
