// The main of every GoogleTest program of the project.
#include <gtest/gtest.h>

#include <cstdlib>

// Read by the sanitizer runtimes at start-up, so a test program run by hand behaves as under CTest:
// leaks inside system libraries that keep process-wide caches are not ours to report.
extern "C" const char* __lsan_default_options() {
    return "suppressions=" QUELVANE_SOURCE_DIR "/tests/lsan.supp";
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
