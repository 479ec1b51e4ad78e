#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <vector>

#include "game/screens/Screen.h"
#include "platform/Clock.h"
#include "platform/EventSource.h"
#include "platform/Observers.h"
#include "support/TempDir.h"

namespace quelvane {

// The whole game started headless, as the replay tool starts it: on a virtual clock, with keys
// scripted by pass, the sound mixed nowhere, in a working folder of its own with a settings file
// and the generated assets. Attack pressed in pass 25 leaves its first title screen. One at a time:
// the game's display and lists are single instances.
class ScriptedGame {
  public:
    static constexpr uint32_t kFirstPassOfPlay = 26;

    explicit ScriptedGame(uint32_t seed, uint32_t tickStart = 5000);
    ~ScriptedGame();
    ScriptedGame(const ScriptedGame&) = delete;
    ScriptedGame& operator=(const ScriptedGame&) = delete;

    // The start-up ran and its title screen ended.
    bool started() const { return running_; }
    // The passes that start-up and the first title screen took.
    uint32_t passesAtStart() const { return passesAtStart_; }

    // A key pressed or released in the pass that many passes from now.
    void key(uint32_t fromNow, int code, bool down);
    // Forgets the keys still to come and the screens seen, and counts passes on from pass.
    void restartKeys(uint32_t pass);

    platform::VirtualClock clock;
    platform::ScriptedEvents keys;
    // Passes of any of the game's loops so far, and the loop of each since the last restart.
    uint32_t passes = 0;
    std::vector<Screen> screens;
    // Called after every pass, when set.
    std::function<void()> onPass;

  private:
    std::filesystem::path previousFolder_;
    std::unique_ptr<TempDir> folder_;
    bool running_ = false;
    uint32_t passesAtStart_ = 0;
    platform::Subscription passes_;
};

}  // namespace quelvane
