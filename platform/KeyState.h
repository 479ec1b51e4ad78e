#pragma once

#include <array>
#include <cstdint>
#include <functional>

namespace platform {

// The asynchronous key query: bit 15 while a key is down, bit 0 when it was pressed since the
// previous query of that key. It follows every key event the platform reads, dispatched or not.
class KeyState {
  public:
    void keyDown(int key);
    void keyUp(int key);
    uint16_t query(int key);
    void clear() { keys_ = {}; }
    // Lets go of every key that is down, telling released each one's code. A press not yet
    // queried stays reported.
    void releaseAll(const std::function<void(int)>& released);

  private:
    struct Key {
        bool down = false;
        bool pressedSinceQuery = false;
    };
    std::array<Key, 256> keys_{};
};

}  // namespace platform
