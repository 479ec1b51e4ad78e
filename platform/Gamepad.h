#pragma once

#include <functional>
#include <map>
#include <set>
#include <utility>

#include "platform/Message.h"

namespace platform {

// Game controllers play the game through the pad key of the action each input is bound to (by
// default the d-pad and the left stick move, A fires, B is the LimitBreak, X cycles the weapons, Y
// swaps to the previous one, Start shows the help pages and Back quits). A key goes down when the
// first control holding it is pressed and up when the last lets go, so the d-pad and the stick, or
// two controllers, may hold one key together.
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
