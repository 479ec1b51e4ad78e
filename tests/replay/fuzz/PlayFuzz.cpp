// libFuzzer target: a stranger's replay played through the verifier, its checksum fixed as a
// forger would fix it, its recording changed behind the compression, so that the checks of every
// field and, for what passes them, the game itself meet what the fuzzer makes, for a bounded number
// of passes.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "game/world/Assets.h"
#include "tests/replay/fuzz/PlayInput.h"

// What the system's libraries keep for the whole process on purpose is suppressed (lsan.supp).
extern "C" const char* __lsan_default_options() {
    return "suppressions=" QUELVANE_SOURCE_DIR "/tests/replay/fuzz/lsan.supp";
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    // The generated assets of the fuzzer's own build, as the game's run finds them.
    static const bool assets = (quelvane::setAssetFolder(QUELVANE_RUN_DIR), true);
    (void)assets;
    quelvane::playInput(data, size);
    return 0;
}

extern "C" size_t LLVMFuzzerMutate(uint8_t* data, std::size_t size, std::size_t maxSize);

// Three changes in four go to the recording itself, inflated, and the file is packed again: changes
// to the compressed stream alone would almost never inflate, and the game would never see them.
extern "C" std::size_t LLVMFuzzerCustomMutator(uint8_t* data, std::size_t size, std::size_t maxSize,
                                               unsigned int seed) {
    std::optional<quelvane::UnpackedReplay> replay =
        quelvane::unpackReplay(std::vector<uint8_t>(data, data + size));
    if (!replay || seed % 4 == 0)
        return LLVMFuzzerMutate(data, size, maxSize);
    const std::size_t bodySize = replay->body.size();
    replay->body.resize(bodySize + bodySize / 2 + 64);
    replay->body.resize(LLVMFuzzerMutate(replay->body.data(), bodySize, replay->body.size()));
    const std::vector<uint8_t> bytes = quelvane::packReplay(*replay);
    if (bytes.empty() || bytes.size() > maxSize)
        return LLVMFuzzerMutate(data, size, maxSize);
    std::memcpy(data, bytes.data(), bytes.size());
    return bytes.size();
}
