#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "audio/AudioSystem.h"
#include "platform/GameWindow.h"

namespace quelvane {

// Makes the game's window from its caption, its size and its 32 x 32 ARGB icon; null when it
// cannot.
using WindowMaker = std::function<std::unique_ptr<platform::GameWindow>(
    const char* caption, int width, int height, const uint32_t* iconArgb)>;
// The window the game opens from now on: the desktop's SDL window (platform::Window::create) or a
// page's canvas, as the program's entry chooses. With none, as in the replay tool, the game draws
// for no one to see.
void useGameWindow(WindowMaker maker);

// Seeds the game's random generator, opens the window, starts the game, sounding on the given
// output, and runs the first title screen; false, with the reason on standard error, when there is
// no window or the screen cannot be taken over.
bool startGame(uint32_t seed, AudioSystem::Output sound = AudioSystem::Output::Device);

// The same without the title screen: the game is ready for its main loop, or for a replay to put
// it in the state its recording began in.
bool openGame(uint32_t seed, AudioSystem::Output sound = AudioSystem::Output::Device);

// Holds the game's sound while another program plays its own (a run watched from the world
// table's page), pause or not; false lets it sound again unless the game is paused.
void holdSound(bool held);

// Shuts the game down, closes its window and ends the sound.
void endGame();

}  // namespace quelvane
