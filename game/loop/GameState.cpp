#include "game/loop/GameState.h"

bool exitRequested = false;
Display display;
std::unique_ptr<platform::Window> gameWindow;
std::vector<Star> starField;
uint32_t eraseColour = 0;
uint32_t barFrameColour = 0;
std::unique_ptr<Font> hudFont;
uint32_t framesRun = 0;
