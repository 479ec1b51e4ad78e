#pragma once

#include <cstdint>
#include <memory>

struct SDL_Window;

namespace platform {

// How a paused game sleeps until its window or a game controller has input: on the desktop in
// poll(2) on the display's connection and the controllers' devices (DisplayWait.h), in a page in
// short steps that hand the browser its turn (platform/web/PageWait.cpp).
class InputWait {
  public:
    virtual ~InputWait() = default;
    // The window whose display is watched; null for none.
    virtual void watchWindow(SDL_Window* window) = 0;
    // controller: SDL's instance id; path: SDL_GameControllerPath's answer, null when it has none.
    virtual void controllerOpened(int controller, const char* path) = 0;
    virtual void controllerClosed(int controller) = 0;
    // Returns once the display or a controller has input, or after ms; at once when SDL already
    // holds events. Called just after SDL's events were pumped; they stay where they are for the
    // next pump.
    virtual void wait(uint32_t ms) = 0;
};

// This build's wait.
std::unique_ptr<InputWait> makeInputWait();

}  // namespace platform
