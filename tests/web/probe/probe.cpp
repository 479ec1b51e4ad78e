// The browser toolchain's proof: SDL2 and FreeType, as scripts/web/build-deps.sh builds them,
// linked into a C++20 program by Debian's emcc with ASYNCIFY and run under node. The same source
// builds natively against Debian's own SDL2 and FreeType, so that tests/web/check-toolchain.sh
// can hold the browser build's output against the desktop's.
//
// Usage: probe FONT. Prints "name: value" lines, then "probe: ok" or "probe: N of M checks failed"
// and exits non-zero on a failure.
#include "game/core/Geometry.h"

#include <SDL.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <numbers>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#ifdef __EMSCRIPTEN__
#include <emscripten.h>
#endif

namespace {

int checks = 0;
int failures = 0;

void check(bool ok, std::string_view what) {
    ++checks;
    if (!ok) {
        ++failures;
        std::printf("FAILED: %.*s\n", static_cast<int>(what.size()), what.data());
    }
}

bool hasDriver(int count, const char* (*name)(int), std::string_view wanted) {
    for (int i = 0; i < count; ++i) {
        if (wanted == name(i))
            return true;
    }
    return false;
}

// Hands control back to the browser's event loop: under ASYNCIFY the stack unwinds and resumes,
// which is how the game's loop will wait for a frame there.
void sleepMs(uint32_t ms) {
#ifdef __EMSCRIPTEN__
    emscripten_sleep(ms);
#else
    SDL_Delay(ms);
#endif
}

void versions() {
    SDL_version sdl;
    SDL_GetVersion(&sdl);
    std::printf("sdl: %d.%d.%d\n", sdl.major, sdl.minor, sdl.patch);
    check(sdl.major == 2 && sdl.minor == 26 && sdl.patch == 5, "SDL is 2.26.5");
#ifdef __EMSCRIPTEN__
    std::printf("emscripten: %d.%d.%d\n", __EMSCRIPTEN_major__, __EMSCRIPTEN_minor__,
                __EMSCRIPTEN_tiny__);
#endif
}

void drivers() {
    std::string video, audio;
    for (int i = 0; i < SDL_GetNumVideoDrivers(); ++i)
        video += std::string(" ") + SDL_GetVideoDriver(i);
    for (int i = 0; i < SDL_GetNumAudioDrivers(); ++i)
        audio += std::string(" ") + SDL_GetAudioDriver(i);
    std::printf("video drivers:%s\naudio drivers:%s\n", video.c_str(), audio.c_str());
#ifdef __EMSCRIPTEN__
    check(hasDriver(SDL_GetNumVideoDrivers(), SDL_GetVideoDriver, "emscripten"),
          "the emscripten video driver is built in");
    check(hasDriver(SDL_GetNumAudioDrivers(), SDL_GetAudioDriver, "emscripten"),
          "the emscripten audio driver is built in");
#endif
    check(hasDriver(SDL_GetNumVideoDrivers(), SDL_GetVideoDriver, "dummy"),
          "the dummy video driver is built in");
#ifdef __EMSCRIPTEN__
    // SDL's audio and timers call these from their JS; linked only through the flags that the
    // deps' sdl2.pc and CMake package add. Without them audio fails in a browser, not under node.
    const bool jsFunctions = EM_ASM_INT(
        { return typeof autoResumeAudioContext == 'function' && typeof dynCall == 'function'; });
    std::printf("sdl js functions: %s\n", jsFunctions ? "linked" : "missing");
    check(jsFunctions, "autoResumeAudioContext and dynCall are linked in");
#endif
}

// Gamepads exist only where the page has navigator.getGamepads; node has no navigator at all, and
// SDL's emscripten joystick code would throw there rather than fail.
void joysticks() {
#ifdef __EMSCRIPTEN__
    const bool gamepadApi =
        EM_ASM_INT({ return typeof navigator != 'undefined' && !!navigator.getGamepads; });
    if (!gamepadApi) {
        std::printf("joystick: skipped, no Gamepad API here\n");
        return;
    }
#endif
    const bool ok = SDL_InitSubSystem(SDL_INIT_JOYSTICK | SDL_INIT_GAMECONTROLLER) == 0;
    check(ok, "SDL_INIT_JOYSTICK");
    std::printf("joystick: %d attached\n", ok ? SDL_NumJoysticks() : -1);
}

struct Glyph {
    int width = 0;
    int rows = 0;
    std::vector<uint8_t> gray;  // width * rows, no padding
};

// A hash of the coverage values, so two builds' renderings can be compared as one line.
uint32_t fnv1a(std::span<const uint8_t> bytes) {
    uint32_t hash = 2166136261u;
    for (uint8_t b : bytes)
        hash = (hash ^ b) * 16777619u;
    return hash;
}

Glyph renderGlyph(const char* fontPath, char32_t ch, int pixels) {
    Glyph glyph;
    FT_Library library = nullptr;
    check(FT_Init_FreeType(&library) == 0, "FT_Init_FreeType");
    if (!library)
        return glyph;
    FT_Int major = 0, minor = 0, patch = 0;
    FT_Library_Version(library, &major, &minor, &patch);
    std::printf("freetype: %d.%d.%d\n", major, minor, patch);
    check(major == 2 && minor == 12 && patch == 1, "FreeType is 2.12.1");

    FT_Face face = nullptr;
    check(FT_New_Face(library, fontPath, 0, &face) == 0, "FT_New_Face on the font");
    if (face) {
        std::printf("face: %s %s, %ld glyphs\n", face->family_name, face->style_name,
                    face->num_glyphs);
        check(std::string_view(face->family_name) == "Liberation Mono" &&
                  std::string_view(face->style_name) == "Bold",
              "the face is Liberation Mono Bold");
        check(FT_Set_Pixel_Sizes(face, 0, pixels) == 0, "FT_Set_Pixel_Sizes");
        check(FT_Load_Char(face, ch, FT_LOAD_RENDER) == 0, "FT_Load_Char with FT_LOAD_RENDER");
        const FT_Bitmap& bitmap = face->glyph->bitmap;
        check(bitmap.pixel_mode == FT_PIXEL_MODE_GRAY, "an 8-bit coverage bitmap");
        glyph.width = static_cast<int>(bitmap.width);
        glyph.rows = static_cast<int>(bitmap.rows);
        for (int y = 0; y < glyph.rows; ++y) {
            const uint8_t* row = bitmap.buffer + static_cast<std::ptrdiff_t>(y) * bitmap.pitch;
            glyph.gray.insert(glyph.gray.end(), row, row + glyph.width);
        }
        FT_Done_Face(face);
    }
    FT_Done_FreeType(library);

    int ink = 0;
    for (uint8_t v : glyph.gray)
        ink += v >= 128;
    std::printf("glyph: U+%04X at %dpx, %dx%d, %d inked, hash %08x\n", static_cast<unsigned>(ch),
                pixels, glyph.width, glyph.rows, ink, fnv1a(glyph.gray));
    check(glyph.width > pixels / 4 && glyph.rows > pixels / 2 && ink > pixels,
          "the glyph has a plausible size and ink");
    for (int y = 0; y < glyph.rows; ++y) {
        std::string line = "| ";
        for (int x = 0; x < glyph.width; ++x) {
            const uint8_t v = glyph.gray[y * glyph.width + x];
            line += v >= 160 ? '#' : v >= 48 ? '+' : ' ';
        }
        std::printf("%s\n", line.c_str());
    }
    return glyph;
}

// The glyph through the window-surface path the game draws with: its own ARGB surface, a linear
// stretch, a blit into the window and an update, all with the dummy driver that needs no canvas.
void drawThroughSdl(const Glyph& glyph) {
    SDL_SetHint(SDL_HINT_VIDEODRIVER, "dummy");
    const bool video = SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
    check(video, "SDL_INIT_VIDEO with the dummy driver");
    if (!video || glyph.gray.empty())
        return;
    std::printf("video driver: %s\n", SDL_GetCurrentVideoDriver());

    std::vector<uint32_t> argb(glyph.gray.size());
    for (size_t i = 0; i < argb.size(); ++i)
        argb[i] = 0xff000000u | glyph.gray[i] * 0x010101u;
    SDL_Surface* source = SDL_CreateRGBSurfaceWithFormatFrom(
        argb.data(), glyph.width, glyph.rows, 32, glyph.width * 4, SDL_PIXELFORMAT_ARGB8888);
    SDL_Surface* doubled = SDL_CreateRGBSurfaceWithFormat(0, glyph.width * 2, glyph.rows * 2, 32,
                                                          SDL_PIXELFORMAT_ARGB8888);
    SDL_Window* window = SDL_CreateWindow("probe", 0, 0, 128, 128, SDL_WINDOW_HIDDEN);
    SDL_Surface* screen = window ? SDL_GetWindowSurface(window) : nullptr;
    check(source && doubled && screen, "the surfaces and the window");
    if (source && doubled && screen) {
        check(SDL_SoftStretchLinear(source, nullptr, doubled, nullptr) == 0,
              "SDL_SoftStretchLinear");
        check(SDL_FillRect(screen, nullptr, SDL_MapRGB(screen->format, 0, 0, 0)) == 0,
              "SDL_FillRect");
        check(SDL_BlitSurface(doubled, nullptr, screen, nullptr) == 0, "SDL_BlitSurface");
        check(SDL_UpdateWindowSurface(window) == 0, "SDL_UpdateWindowSurface");
        int lit = 0, glyphInk = 0;
        for (uint8_t v : glyph.gray)
            glyphInk += v >= 128;
        SDL_LockSurface(screen);
        for (int y = 0; y < screen->h; ++y) {
            const auto* row = reinterpret_cast<const uint8_t*>(screen->pixels) + y * screen->pitch;
            for (int x = 0; x < screen->w; ++x) {
                Uint8 r, g, b;
                SDL_GetRGB(reinterpret_cast<const uint32_t*>(row)[x], screen->format, &r, &g, &b);
                lit += r >= 128;
            }
        }
        SDL_UnlockSurface(screen);
        std::printf("window: %dx%d, %d pixels lit\n", screen->w, screen->h, lit);
        // Twice the size is four times the ink, give or take the stretch's blurred edges.
        check(lit > 3 * glyphInk && lit < 5 * glyphInk, "the doubled glyph reached the window");
    }
    if (window)
        SDL_DestroyWindow(window);
    SDL_FreeSurface(doubled);
    SDL_FreeSurface(source);
}

std::atomic<int> timerTicks{0};

Uint32 countTick(Uint32 interval, void*) {
    ++timerTicks;
    return interval;
}

// An SDL timer keeps firing while the program sleeps: in the browser build that works only if the
// sleep really returned to the event loop, i.e. ASYNCIFY did its job. Twice: under node the first
// sleep after the glyph and blit work is held up by about half a second while V8 optimises the hot
// wasm functions (not with --liftoff-only), and the second shows the steady state.
void sleepWithTimer() {
    const SDL_TimerID timer = SDL_AddTimer(10, countTick, nullptr);
    check(timer != 0, "SDL_AddTimer");
    for (int round = 1; round <= 2; ++round) {
        const int ticksBefore = timerTicks.load();
        const Uint64 start = SDL_GetTicks64();
        sleepMs(120);
        const Uint64 slept = SDL_GetTicks64() - start;
        const int ticks = timerTicks.load() - ticksBefore;
        std::printf("sleep %d: 120 ms asked, %llu ms slept, timer fired %d times\n", round,
                    static_cast<unsigned long long>(slept), ticks);
        check(slept >= 110 && slept < 5000, "the sleep lasted at least as long as asked");
#ifdef __EMSCRIPTEN__
        // Deterministic here: the timer's 10 ms timeout falls due before the sleep's 120 ms one,
        // and the event loop runs due timeouts in order. The desktop's timer thread, on a loaded
        // machine, may well not have run yet.
        check(ticks >= 1, "the timer fired during the sleep");
#endif
    }
    SDL_RemoveTimer(timer);
}

template <typename T>
bool near(T a, T b, T tolerance) {
    return std::abs(a - b) <= tolerance;
}

// The float and double overloads the game's geometry uses, with values the optimiser cannot fold,
// so the library's own functions run.
void math() {
    static_assert(std::is_same_v<decltype(std::atan(1.0f)), float>);
    static_assert(std::is_same_v<decltype(std::sin(1.0f)), float>);
    static_assert(std::is_same_v<decltype(std::cos(1.0f)), float>);
    volatile double one = 1.0;
    volatile float onef = 1.0f;
    const double pi = std::numbers::pi;
    const float pif = std::numbers::pi_v<float>;

    const double atanD = std::atan(one), sinD = std::sin(pi / 6 * one),
                 cosD = std::cos(pi / 3 * one);
    const float atanF = std::atan(onef), sinF = std::sin(pif / 6 * onef),
                cosF = std::cos(pif / 3 * onef);
    std::printf("math double: atan(1) %.17g, sin(pi/6) %.17g, cos(pi/3) %.17g\n", atanD, sinD,
                cosD);
    std::printf("math float: atan(1) %.9g, sin(pi/6) %.9g, cos(pi/3) %.9g\n", atanF, sinF, cosF);
    check(near(atanD, pi / 4, 1e-15) && near(sinD, 0.5, 1e-15) && near(cosD, 0.5, 1e-15),
          "double atan, sin and cos");
    check(near(atanF, pif / 4, 1e-6f) && near(sinF, 0.5f, 1e-6f) && near(cosF, 0.5f, 1e-6f),
          "float atan, sin and cos");

    // Around the whole circle, as the ships turn: sin^2 + cos^2 = 1 and atan2 gives the angle back.
    double worst = 0.0;
    float worstF = 0.0f;
    for (int step = -180; step < 180; ++step) {
        const double a = step * pi / 180 * one;
        const float af = static_cast<float>(step) * pif / 180 * onef;
        worst =
            std::max(worst, std::abs(std::sin(a) * std::sin(a) + std::cos(a) * std::cos(a) - 1));
        // As angles: at -pi, atan2 may well answer +pi.
        worst = std::max(
            worst, std::abs(std::remainder(std::atan2(std::sin(a), std::cos(a)) - a, 2 * pi)));
        worstF = std::max(worstF,
                          std::abs(std::sin(af) * std::sin(af) + std::cos(af) * std::cos(af) - 1));
        worstF = std::max(
            worstF, std::abs(std::remainder(std::atan2(std::sin(af), std::cos(af)) - af, 2 * pif)));
    }
    std::printf("math circle: worst error %.3g double, %.3g float\n", worst, worstF);
    check(worst < 1e-14 && worstF < 1e-5f, "sin, cos and atan2 round the circle");
}

template <typename T>
uint32_t mixBits(uint32_t hash, T value) {
    unsigned char bytes[sizeof(T)];
    std::memcpy(bytes, &value, sizeof(T));
    return (hash ^ fnv1a(bytes)) * 16777619u;
}

// Replays are recorded on the desktop and may be played in the browser, so the game's own
// geometry must give the same bits in both builds; tests/web/check-toolchain.sh compares these
// hashes with the native build's. The raw libm hashes are for the record: glibc and Emscripten's
// musl may differ in the last bit where the game's rounding to float and to whole degrees hides it.
void determinism() {
    uint32_t headings = 2166136261u;
    for (int32_t degrees = -720; degrees <= 720; ++degrees) {
        const quelvane::Heading h = quelvane::heading(degrees);
        headings = mixBits(mixBits(headings, h.dx), h.dy);
    }
    uint32_t bearings = 2166136261u;
    for (int i = -150; i <= 150; ++i) {
        for (int j = -150; j <= 150; ++j) {
            const float x = static_cast<float>(i) * 0.73f, y = static_cast<float>(j) * 0.61f;
            bearings = mixBits(bearings, quelvane::bearing(0.5f, -0.25f, x, y));
        }
    }
    std::printf("geometry: headings %08x, bearings %08x\n", headings, bearings);
    check(quelvane::bearing(0, 0, 10, 0) == 90 && quelvane::bearing(0, 0, 0, -10) == 360 &&
              quelvane::heading(90).dx == 1.0f,
          "the game's geometry, right and straight up");

    uint32_t libmDouble = 2166136261u, libmFloat = 2166136261u;
    for (int i = 0; i < 20000; ++i) {
        const double x = -100.0 + i * 0.01;
        const float xf = static_cast<float>(x);
        libmDouble = mixBits(mixBits(mixBits(libmDouble, std::sin(x)), std::cos(x)), std::atan(x));
        libmFloat = mixBits(mixBits(mixBits(libmFloat, std::sin(xf)), std::cos(xf)), std::atan(xf));
    }
    std::printf("libm: double %08x, float %08x\n", libmDouble, libmFloat);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FONT\n", argv[0]);
        return 2;
    }
    versions();
    check(SDL_Init(SDL_INIT_TIMER | SDL_INIT_EVENTS) == 0,
          "SDL_Init(SDL_INIT_TIMER | SDL_INIT_EVENTS)");
    drivers();
    joysticks();
    const Glyph glyph = renderGlyph(argv[1], U'Q', 32);
    drawThroughSdl(glyph);
    sleepWithTimer();
    math();
    determinism();
    SDL_Quit();

    if (failures == 0) {
        std::printf("probe: ok, %d checks\n", checks);
    } else {
        std::printf("probe: %d of %d checks failed\n", failures, checks);
    }
    // Not a return: once main has slept under ASYNCIFY, Emscripten 3.1.6 drops its return value.
    std::exit(failures == 0 ? 0 : 1);
}
