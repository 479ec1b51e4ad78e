#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "game/core/ExitRequest.h"
#include "game/gfx/Display.h"
#include "game/gfx/Font.h"
#include "game/screens/Pass.h"
#include "game/screens/Screen.h"
#include "platform/Clock.h"
#include "platform/EventSource.h"
#include "platform/Platform.h"
#include "platform/VirtualKeys.h"
#include "platform/Window.h"
#include "support/TempDir.h"

namespace quelvane {

// Whether a pixel is text in colour drawn over black, fully or partly covered: the channels the
// colour has are equal and bright enough, the others dark. For colours whose channels are each 0 or
// 255.
inline bool inkOf(uint32_t pixel, ColourRef colour) {
    const ColourRef seen = colourFromPixel(pixel);
    int lit = -1;
    for (int shift = 0; shift < 24; shift += 8) {
        const int want = static_cast<int>((colour >> shift) & 0xFF);
        const int have = static_cast<int>((seen >> shift) & 0xFF);
        if (want == 0 && have != 0)
            return false;
        if (want != 0) {
            if (lit >= 0 && have != lit)
                return false;
            lit = have;
        }
    }
    return lit >= 96;
}

// The game's display on SDL's dummy driver, with the HUD font. The display is made once per
// process, as in the game, and shared by every suite of screens.
class ScreenEnvironment : public ::testing::Environment {
  public:
    void SetUp() override {
        window = platform::Window::create("test", 640, 480, nullptr);
        ASSERT_TRUE(window);
        ASSERT_TRUE(display.Init(window.get(), 640, 480, 32, 0, true));
        hudFont = Font::create(16, 7, 700, kFixedPitch | kFamilyModern);
        ASSERT_TRUE(hudFont);
    }
    void TearDown() override {
        hudFont.reset();
        display.Release();
        window.reset();
    }

  private:
    std::unique_ptr<platform::Window> window;
};

inline ::testing::Environment* const screenEnvironment =
    ::testing::AddGlobalTestEnvironment(new ScreenEnvironment);

// The screens with a virtual clock, keys scripted by pass, and a working directory of the test's
// own (the scores file is read and written by bare name).
class ScreenFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        exitRequested = false;
        passes = 0;
        screens.clear();
        dispatched.clear();
        keysOf = &keys;
        platform::useClock(&clock);
        platform::useEventSource(&keys);
        passObserver = passEnds().subscribe(countPass);
        setMessageHandler([](const platform::Message& m) {
            dispatched.push_back(m.kind);
            if (m.kind == platform::MessageKind::Close)
                exitRequested = true;
        });
        oldWorkingDir = std::filesystem::current_path();
        std::filesystem::current_path(dir.path());
    }
    void TearDown() override {
        std::filesystem::current_path(oldWorkingDir);
        passObserver.end();
        setMessageHandler(nullptr);
        platform::useEventSource(nullptr);
        platform::useClock(nullptr);
        platform::resetInput();
        exitRequested = false;
    }

    // Counts a pass and moves the scripted keys on to the next. A screen that never ends fails the
    // test instead of hanging it: the game is told to end, as by a window close.
    static void countPass() {
        ++passes;
        screens.push_back(currentScreen);
        keysOf->setFrame(static_cast<uint32_t>(passes));
        if (passes == kRunaway) {
            ADD_FAILURE() << "a screen is still running after " << kRunaway << " passes";
            exitRequested = true;
        }
    }
    static constexpr int kRunaway = 5000;

    void keyDown(uint32_t pass, int key) { keys.add(pass, {platform::MessageKind::KeyDown, key}); }
    void keyUp(uint32_t pass, int key) { keys.add(pass, {platform::MessageKind::KeyUp, key}); }
    // Types a name of small letters, one key a pass from pass on, then Enter.
    void typeName(uint32_t pass, const std::string& letters) {
        for (const char c : letters)
            keyDown(pass++, c - 'a' + platform::vk::kLetterA);
        keyDown(pass, platform::vk::kEnter);
    }

    static std::string fileBytes(const std::filesystem::path& file) {
        std::ifstream in(file, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }

    static inline platform::ScriptedEvents* keysOf = nullptr;
    static inline int passes = 0;
    static inline std::vector<Screen> screens;
    static inline std::vector<platform::MessageKind> dispatched;

    platform::VirtualClock clock{1000};
    platform::ScriptedEvents keys;
    TempDir dir;
    std::filesystem::path oldWorkingDir;
    platform::Subscription passObserver;
};

}  // namespace quelvane
