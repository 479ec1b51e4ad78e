#pragma once

#include <cstdint>

namespace quelvane {

class ScriptedGame;

// A field kept as busy as a stress frame needs, for as long as it runs: a new game with `count`
// aliens already on screen, refilled after every frame, and a ship that lives through it all. Its
// shields are restored after every frame and items are taken off the field before it can collect
// them (a shield item would set its shields back to 30, and the aliens would then destroy it). A
// frame that opens a screen all the same aborts the run with a message naming it, rather than
// waiting in that screen for a key that never comes.
class BusyField {
  public:
    BusyField(ScriptedGame& game, int32_t count);
    ~BusyField();
    BusyField(const BusyField&) = delete;
    BusyField& operator=(const BusyField&) = delete;

    // One frame of play, every alien free to fire in it when asked; then the clock moves on by a
    // frame and the field is made whole again.
    void frame(bool everyAlienFires);

    static constexpr int32_t kShields = 1 << 30;

  private:
    ScriptedGame& game_;
    int32_t count_;
};

}  // namespace quelvane
