// The display's per-frame costs: the star field's frame, a sprite blit and a line of HUD text.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <vector>

#include "game/core/Random.h"
#include "game/gfx/Display.h"
#include "game/gfx/Font.h"
#include "game/gfx/Star.h"
#include "platform/Window.h"

namespace quelvane {
namespace {

struct Screen {
    Screen() {
        setenv("SDL_VIDEODRIVER", "dummy", 0);
        window = platform::Window::create("bench", 640, 480, nullptr);
        if (!window || !display.Init(window.get(), 640, 480, 32, 0, true))
            std::abort();
    }
    ~Screen() {
        display.Release();
        window.reset();
    }
    std::unique_ptr<platform::Window> window;
    Display display;
};

void BM_StarFieldFrame(benchmark::State& state) {
    Screen screen;
    Display& display = screen.display;
    seedRandom(1);
    std::vector<Star> stars;
    stars.reserve(150);
    for (int i = 0; i < 150; ++i)
        stars.emplace_back(display);
    for (auto _ : state) {
        display.Lock();
        for (Star& s : stars)
            s.Erase(display);
        display.Unlock();
        display.FillRect(0, 310, 360, 335, 400);  // one object's erase
        display.Lock();
        for (Star& s : stars)
            s.Move(display);
        display.Unlock();
        display.Flip(true);
    }
}
BENCHMARK(BM_StarFieldFrame)->Unit(benchmark::kMicrosecond);

void BM_ColourKeyedBlit41x37(benchmark::State& state) {
    Screen screen;
    Surface sprite(41, 37);
    sprite.fill(0x00FF8040, 0, 0, 41, 37);
    sprite.fill(0, 0, 0, 41, 5);  // transparent rows, as a real sprite has
    screen.display.SetColorKey(&sprite, 0);
    for (auto _ : state) {
        benchmark::DoNotOptimize(screen.display.DrawSurface(&sprite, 300, 200, nullptr));
    }
}
BENCHMARK(BM_ColourKeyedBlit41x37)->Unit(benchmark::kNanosecond);

void BM_HudDrawString(benchmark::State& state) {
    Screen screen;
    auto font = Font::create(16, 7, 700, kFixedPitch | kFamilyModern);
    if (!font)
        std::abort();
    screen.display.GetDC();
    screen.display.SelectFont(font.get());
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            screen.display.DrawString("Score: 00012345   Shields: 10", 10, 460, true, 0x00FFFF, 0));
    }
    screen.display.ReleaseDC();
}
BENCHMARK(BM_HudDrawString)->Unit(benchmark::kNanosecond);

}  // namespace
}  // namespace quelvane

BENCHMARK_MAIN();
