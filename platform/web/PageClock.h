#pragma once

#include <cstdint>

#include "platform/Clock.h"

namespace platform {

// The page's clock, or with a script the replay's virtual one; either way a sleep hands control to
// the browser, whose timers and events run meanwhile. It also adds up the time the game works
// between its sleeps, for the page's measurement of a frame's cost.
class PageClock : public Clock {
  public:
    // isVirtual: time moves on only by the sleeps, from start.
    PageClock(bool isVirtual, uint32_t start);
    uint32_t ticks() override;
    void sleep(uint32_t ms) override;
    // Fast: a sleep hands control over without waiting out its time.
    void setFast(bool fast) { fast_ = fast; }
    double busyMilliseconds() const { return busy_; }

  private:
    bool virtual_;
    uint32_t virtualNow_;
    bool fast_ = false;
    unsigned fastSleeps_ = 0;
    double busy_ = 0;
    double woke_;
    // A page held up for longer (a hidden tab) does not make up for it with a burst of passes.
    static constexpr double kMostLate = 15;
    double late_ = 0;
};

}  // namespace platform
