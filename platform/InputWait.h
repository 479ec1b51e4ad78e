#pragma once

#include <cstdint>
#include <map>

struct SDL_Window;

namespace platform {

// How a paused game sleeps: in poll(2) on the display's connection and on the game controllers'
// devices, so that focus, keys and buttons wake it at once. SDL's own wait polls every millisecond
// while a joystick is open. A controller without a device to watch (SDL's virtual one, or one
// behind libusb) is looked at when the wait's bound runs out.
class InputWait {
  public:
    InputWait() = default;
    ~InputWait();
    InputWait(const InputWait&) = delete;
    InputWait& operator=(const InputWait&) = delete;

    // The window whose display connection is watched; null for none.
    void watchWindow(SDL_Window* window) { window_ = window; }
    // controller: SDL's instance id; path: SDL_GameControllerPath's answer, null when it has none.
    void controllerOpened(int controller, const char* path);
    void controllerClosed(int controller);
    // Returns once the display or a controller has input, or after ms; at once when SDL already
    // holds events. Called just after SDL's events were pumped; they stay where they are for the
    // next pump.
    void wait(uint32_t ms);

  private:
    SDL_Window* window_ = nullptr;
    // Our own descriptors of the controllers' devices, read only to be emptied.
    std::map<int, int> controllerFds_;
};

}  // namespace platform
