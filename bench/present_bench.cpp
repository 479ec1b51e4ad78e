// Presenting a 640 x 480 picture through the window's software path, scaled by each whole factor
// from 1 to 4, beside a plain memcpy of the bytes it writes, timed in the same run: vs_memcpy is
// the ratio of the two, memcpy_us the copy's own time. Every pixel changes from one picture to the
// next, so each is widened whole: the worst case, where a game's picture changes little.
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "platform/Window.h"

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;

void BM_PresentScaled(benchmark::State& state) {
    const int factor = static_cast<int>(state.range(0));
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    auto window = platform::Window::create("bench", kWidth, kHeight, nullptr);
    if (!window || !window->open(kWidth, kHeight, false))
        std::abort();
    // The window as large as the picture scaled, so that all of it is the picture.
    SDL_SetWindowSize(window->handle(), kWidth * factor, kHeight * factor);
    std::vector<uint32_t> pictures[2];
    for (int which = 0; which < 2; ++which) {
        pictures[which].resize(static_cast<size_t>(kWidth) * kHeight);
        for (size_t i = 0; i < pictures[which].size(); ++i)
            pictures[which][i] = (static_cast<uint32_t>(i * 2654435761u) + which) & 0x00FFFFFF;
    }
    window->present(pictures[1].data(), kWidth * 4);

    using Clock = std::chrono::steady_clock;
    const Clock::time_point presentStart = Clock::now();
    for (int which = 0; state.KeepRunning(); which ^= 1)
        window->present(pictures[which].data(), kWidth * 4);
    const double presentNs =
        std::chrono::duration<double, std::nano>(Clock::now() - presentStart).count();

    const size_t bytes = pictures[0].size() * 4 * factor * factor;
    std::vector<uint8_t> from(bytes, 1), to(bytes, 2);
    std::memcpy(to.data(), from.data(), bytes);
    const Clock::time_point copyStart = Clock::now();
    for (benchmark::IterationCount i = 0; i < state.iterations(); ++i) {
        std::memcpy(to.data(), from.data(), bytes);
        benchmark::ClobberMemory();
    }
    const double copyNs =
        std::chrono::duration<double, std::nano>(Clock::now() - copyStart).count();

    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
    state.counters["memcpy_us"] = copyNs / 1000 / static_cast<double>(state.iterations());
    state.counters["vs_memcpy"] = presentNs / copyNs;
}
BENCHMARK(BM_PresentScaled)->DenseRange(1, 4)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
