#pragma once

#include <functional>
#include <map>
#include <set>
#include <utility>

#include "platform/Message.h"

namespace platform {

// Game controllers play the game through the keys their controls stand for: the d-pad and the left
// stick are the arrows, A fires (Ctrl), B is the LimitBreak (Enter), X cycles the weapons (Shift),
// Y swaps to the previous one (Alt), Start is F1 and Back is Esc. A key goes down when the first
// control holding it is pressed and up when the last lets go, so the d-pad and the stick, or two
// controllers, may hold one key together.
class GamepadKeys {
  public:
    using Deliver = std::function<void(const Message&)>;
    // The stick must lean this far (of 32767) before it counts as a direction.
    static constexpr int kDeadZone = 8000;

    // controller: SDL's instance id; button and axis: SDL's game controller numbering.
    void button(int controller, int button, bool down, const Deliver& deliver);
    void axis(int controller, int axis, int value, const Deliver& deliver);
    // Lets go of every key the controller held, as when it is unplugged.
    void removed(int controller, const Deliver& deliver);
    // Forgets every hold without a message, after the platform released all keys itself.
    void forget() { holders_.clear(); }

  private:
    // A control holding a key: the controller and a number for the button or stick direction.
    using Holder = std::pair<int, int>;
    void hold(int key, Holder holder, bool down, const Deliver& deliver);
    std::map<int, std::set<Holder>> holders_;
};

}  // namespace platform
