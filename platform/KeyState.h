#pragma once

#include <array>
#include <cstdint>

namespace platform {

// The asynchronous key query: bit 15 while a key is down, bit 0 when it was pressed since the
// previous query of that key. It follows every key event the platform reads, dispatched or not.
class KeyState {
  public:
    void keyDown(int key);
    void keyUp(int key);
    uint16_t query(int key);
    void clear() { keys_ = {}; }

  private:
    struct Key {
        bool down = false;
        bool pressedSinceQuery = false;
    };
    std::array<Key, 256> keys_{};
};

}  // namespace platform
