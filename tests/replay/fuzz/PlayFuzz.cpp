// libFuzzer target: a stranger's replay played through the verifier, its checksum fixed as a
// forger would fix it, so that the checks of every field and, for what passes them, the game
// itself meet what the fuzzer makes, for a bounded number of passes.
#include <cstddef>
#include <cstdint>

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
