#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "game/gfx/Display.h"
#include "game/gfx/Font.h"
#include "game/gfx/Star.h"
#include "platform/Window.h"

// The game's long-lived objects: single instances that live for the whole run.

// The game is to end: set by a window close or Esc, tested by every loop, never cleared.
extern bool exitRequested;
extern Display display;
extern std::unique_ptr<platform::Window> gameWindow;

inline constexpr int kStarCount = 150;
extern std::vector<Star> starField;

// The back surface's pixel values of black and of yellow.
extern uint32_t eraseColour;
extern uint32_t barFrameColour;
// The one font of every text of the game.
extern std::unique_ptr<Font> hudFont;

// Frames run since start-up, for the replay tool's summary.
extern uint32_t framesRun;
