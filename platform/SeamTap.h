#pragma once

#include <cstdint>

#include "platform/Message.h"

namespace platform {

// Sees what the game takes at the platform's seam, in the order it takes it: every tick count it
// reads, every message handed to it (into its queue, and into the key state for keys) and the end
// of every pump. A game that is given the same back, pump for pump, plays the same.
class SeamTap {
  public:
    virtual ~SeamTap() = default;
    virtual void tickRead(uint32_t ticks) = 0;
    virtual void messageHanded(const Message& message) = 0;
    virtual void pumpEnded() = 0;
};

}  // namespace platform
