#pragma once

#include <array>
#include <cstdint>
#include <functional>

namespace platform {

// The asynchronous key query: bit 15 while a key is down, bit 0 when it was pressed since the
// previous query of that key. It follows every key event the platform reads, dispatched or not.
class KeyState {
  public:
    struct Key {
        bool down = false;
        bool pressedSinceQuery = false;
    };
    using Keys = std::array<Key, 256>;

    void keyDown(int key);
    void keyUp(int key);
    uint16_t query(int key);
    void clear() { keys_ = {}; }
    // Lets go of every key that is down, telling released each one's code. A press not yet
    // queried stays reported.
    void releaseAll(const std::function<void(int)>& released);

    // Every key's state by code, to be saved and put back with a game.
    const Keys& keys() const { return keys_; }
    void setKeys(const Keys& keys) { keys_ = keys; }

  private:
    Keys keys_{};
};

}  // namespace platform
