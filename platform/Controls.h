#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// What the player does with the keys and the game controllers.
enum class Action {
    MoveUp,
    MoveDown,
    MoveLeft,
    MoveRight,
    Attack,
    LimitBreak,
    Weapon1,
    Weapon2,
    Weapon3,
    Weapon4,
    NextWeapon,
    PreviousWeapon,
    Help,
    HighScores,
    Quit,
    FullScreen,
};
inline constexpr int kActionCount = 16;

// The name of an action in controls.ini ("attack", "next_weapon", ...).
std::string_view actionName(Action action);

// A game controller's button, or one way of one of its axes, by SDL's game controller numbering.
struct PadInput {
    enum class Kind { Button, AxisLow, AxisHigh };
    Kind kind = Kind::Button;
    int index = 0;
    bool operator==(const PadInput&) const = default;
};

// A game controller has no keys: its inputs reach the game as the key of the action they are bound
// to, one code for each action above the keyboard's.
inline constexpr int kFirstPadKey = 0xE8;
int padKey(Action action);

// Which keys (by their place on a US keyboard, as virtual-key codes) and which game controller
// inputs do what. Every action's pad key belongs to it too.
class Controls {
  public:
    // Today's table: arrows or W A S D move, G or Ctrl fires, J or Enter is the LimitBreak, 1 to 4
    // pick a weapon, H or Shift the next one, Alt the previous one, F1 help, F2 the high scores,
    // Esc quits, F11 switches full screen; on a controller the d-pad and the left stick move, A
    // fires, B is the LimitBreak, X the next weapon, Y the previous one, Start help and Back quits.
    static Controls defaults();

    // The action a key or pad key does; none for a key bound to nothing.
    std::optional<Action> actionOf(int key) const;
    // The keys of an action, in the order the file gives them, then its pad key.
    const std::vector<int>& keysOf(Action action) const;
    // The keyboard's keys alone, for what the help pages say.
    const std::vector<int>& keyboardKeysOf(Action action) const;
    const std::vector<PadInput>& padOf(Action action) const;
    // The action a game controller's input does; none for one bound to nothing.
    std::optional<Action> actionOf(const PadInput& input) const;

    bool operator==(const Controls&) const = default;

    // The bindings as controls.ini writes them (also what a replay keeps of them).
    std::string text() const;

  private:
    friend class ControlsReader;
    // Works out what is asked of the table from the bindings, once they are made.
    void index();

    std::array<std::vector<int>, kActionCount> keys_;
    std::array<std::vector<PadInput>, kActionCount> pad_;
    std::array<std::vector<int>, kActionCount> queried_;  // the keys, then the pad key
    std::array<int8_t, 256> actionOfKey_{};               // -1 for none
};

// Shift, Ctrl, Alt and the pad keys act once for each press when the next or previous weapon is
// bound to them: the ship asks for them once a frame. Other keys act on every key-down message,
// the keyboard's repeat included.
bool actsWhenPolled(int key);

// The bindings in force: the defaults until the program sets the player's, once, at start-up before
// its window opens (the game from controls.ini; the replay tool from the working folder's for a
// keys run). The window procedure, the ship, the screens, the help pages, full screen and the game
// controllers read them at every use.
const Controls& controls();
void useControls(const Controls& bindings);

// A recorded game plays by the bindings it was recorded with: a playback puts them in force when it
// begins, the game open already, and this gives back the bindings it replaced when it ends.
// Overrides nest, and end in the reverse order of their making.
class ControlsOverride {
  public:
    explicit ControlsOverride(const Controls& bindings);
    ~ControlsOverride();
    ControlsOverride(const ControlsOverride&) = delete;
    ControlsOverride& operator=(const ControlsOverride&) = delete;

  private:
    Controls replaced_;
};

}  // namespace platform
