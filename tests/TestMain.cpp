// The main of every GoogleTest program of the project.
#include <gtest/gtest.h>

#include <cstdlib>

// Read by the sanitizer runtimes at start-up, so a test program run by hand behaves as under CTest:
// what system libraries keep for the whole process on purpose is not ours to report.
extern "C" const char* __lsan_default_options() {
    return "suppressions=" QUELVANE_SOURCE_DIR "/tests/lsan.supp";
}
// Whole stacks through libraries built without frame pointers, so that the suppressions can tell
// a leak's origin.
extern "C" const char* __asan_default_options() {
    return "fast_unwind_on_malloc=0";
}
extern "C" const char* __ubsan_default_options() {
    return "print_stacktrace=1";
}

int main(int argc, char** argv) {
    // Headless and silent, whatever the session offers.
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
