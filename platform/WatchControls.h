#pragma once

#include <cstdint>

#include "platform/Clock.h"
#include "platform/Controls.h"

namespace platform {

class AttachedWindow;
struct Message;

// The watcher's side of a replay shown in the game's window: Space pauses and goes on, Right or F
// held plays four times as fast, Esc or closing the window ends it. The window's own events go
// through the platform as in play, and the full-screen key is the player's own: the bindings in
// force when watching begins, before the replay puts the recorded ones in place. The replay keeps
// to the game's own time through keepPace, so it plays at the speed it was played.
class WatchControls {
  public:
    // window: where a pause shows, null for none. realTime: the watcher's time; null for the
    // system's clock.
    explicit WatchControls(AttachedWindow* window, Clock* realTime = nullptr);

    // Reads what the watcher did; the game's own keys mean nothing here.
    void poll();
    // Returns once the replay may show the game at gameMs of its own time: at once while the
    // replay is behind, never while it is paused, as long as the watcher does not end it.
    void keepPace(uint32_t gameMs);
    // Ends the watch from outside the window, as Esc does.
    void end() { ended_ = true; }
    bool ended() const { return ended_; }
    bool paused() const { return paused_; }
    bool fastForward() const { return fast_; }

    static constexpr int kFastFactor = 4;

  private:
    void handle(const Message& message);
    void pause(bool paused);
    void fastForward(bool fast);

    AttachedWindow* window_;
    SystemClock systemClock_;
    Clock* clock_;
    Controls bindings_;
    bool paused_ = false;
    bool fast_ = false;
    bool ended_ = false;
    bool started_ = false;
    // Where the game's time and the real time were when the pace last changed.
    uint32_t gameOrigin_ = 0;
    uint32_t realOrigin_ = 0;
    uint32_t lastGameMs_ = 0;
};

}  // namespace platform
