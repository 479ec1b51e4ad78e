#pragma once

#include <cstdint>

namespace platform {

class AttachedWindow;

// The watcher's side of a replay shown in the game's window: Space pauses and goes on, Right or F
// held plays four times as fast, Esc or closing the window ends it, F11 switches full screen. The
// replay keeps to the game's own time through keepPace, so it plays at the speed it was played.
class WatchControls {
  public:
    explicit WatchControls(AttachedWindow* window) : window_(window) {}

    // Reads what the watcher did; the game's own keys mean nothing here.
    void poll();
    // Returns once the replay may show the game at gameMs of its own time: at once while the
    // replay is behind, never while it is paused, as long as the watcher does not end it.
    void keepPace(uint32_t gameMs);
    bool ended() const { return ended_; }
    bool paused() const { return paused_; }
    bool fastForward() const { return fast_; }

    static constexpr int kFastFactor = 4;

  private:
    void pause(bool paused);

    AttachedWindow* window_;
    bool paused_ = false;
    bool fast_ = false;
    bool ended_ = false;
    bool started_ = false;
    // Where the game's time and the real time were when the pace last changed.
    uint32_t gameOrigin_ = 0;
    uint64_t realOrigin_ = 0;
    uint32_t lastGameMs_ = 0;
};

}  // namespace platform
