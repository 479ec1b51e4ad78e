#pragma once

#include <cstdint>
#include <map>

#include "platform/InputWait.h"

namespace platform {

// The desktop's wait, in poll(2) on the display's connection (X11 or Wayland) and on the game
// controllers' devices, so that focus, keys and buttons wake it at once. SDL's own wait polls every
// millisecond while a joystick is open. A controller without a device to watch (SDL's virtual one,
// or one behind libusb) is looked at when the wait's bound runs out.
class DisplayWait : public InputWait {
  public:
    DisplayWait() = default;
    ~DisplayWait() override;
    DisplayWait(const DisplayWait&) = delete;
    DisplayWait& operator=(const DisplayWait&) = delete;

    void watchWindow(SDL_Window* window) override { window_ = window; }
    void controllerOpened(int controller, const char* path) override;
    void controllerClosed(int controller) override;
    void wait(uint32_t ms) override;

  private:
    SDL_Window* window_ = nullptr;
    // Our own descriptors of the controllers' devices, read only to be emptied.
    std::map<int, int> controllerFds_;
};

}  // namespace platform
