#include "game/loop/Startup.h"

#include "game/gfx/Colour.h"
#include "game/gfx/Display.h"
#include "game/gfx/Font.h"
#include "game/loop/Globals.h"
#include "game/world/ObjectLists.h"
#include "platform/Platform.h"

namespace quelvane {

namespace {
constexpr int kScreenWidth = 640;
constexpr int kScreenHeight = 480;
}  // namespace

void initialiseGame() {
    display.Init(gameWindow.get(), kScreenWidth, kScreenHeight, 32,
                 kCooperativeFullscreen | kCooperativeAllowReboot | kCooperativeExclusive, true);
    starField.clear();
    starField.reserve(kStarCount);
    for (int i = 0; i < kStarCount; ++i)
        starField.emplace_back(display);
    eraseColour = display.MatchColor(nullptr, rgb(0, 0, 0));
    barFrameColour = display.MatchColor(nullptr, rgb(255, 255, 0));
    hudFont = Font::create(16, 7, 700, kFixedPitch | kFamilyModern);
    platform::showCursor(false);
}

void shutdownGame() {
    starField.clear();
    clearPickups();
    hudFont.reset();
    platform::showCursor(true);
    display.Release();
    gameWindow.reset();
}

}  // namespace quelvane
