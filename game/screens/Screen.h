#pragma once

namespace quelvane {

// The game's loops: play, and the modal screens that run nested inside it.
enum class Screen { Title, Play, Help, GameOver, Name, Scores, World };
// The loop's name as the replay tool's state and trace print it.
const char* screenName(Screen screen);

// The loop that is running now; each loop sets it while it runs and puts back the one it
// interrupted.
extern Screen currentScreen;

class ScreenScope {
  public:
    explicit ScreenScope(Screen screen) : outer_(currentScreen) { currentScreen = screen; }
    ~ScreenScope() { currentScreen = outer_; }
    ScreenScope(const ScreenScope&) = delete;
    ScreenScope& operator=(const ScreenScope&) = delete;

  private:
    Screen outer_;
};

}  // namespace quelvane
