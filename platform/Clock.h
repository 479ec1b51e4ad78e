#pragma once

#include <cstdint>

namespace platform {

// A millisecond tick count that wraps at 2^32, and a sleep of whole milliseconds.
class Clock {
  public:
    virtual ~Clock() = default;
    virtual uint32_t ticks() = 0;
    virtual void sleep(uint32_t ms) = 0;
};

class SystemClock : public Clock {
  public:
    uint32_t ticks() override;
    void sleep(uint32_t ms) override;
};

// Time that passes only when the program sleeps or a test advances it, so that runs repeat exactly;
// start it anywhere, for instance just before the wrap.
class VirtualClock : public Clock {
  public:
    explicit VirtualClock(uint32_t start = 0) : now_(start) {}
    uint32_t ticks() override { return now_; }
    void sleep(uint32_t ms) override { now_ += ms; }
    void advance(uint32_t ms) { now_ += ms; }

  private:
    uint32_t now_;
};

}  // namespace platform
