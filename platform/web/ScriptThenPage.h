#pragma once

#include <cstdint>

#include "platform/EventSource.h"

namespace platform {

// Scripted messages while the script lasts, the page's own after it; the page's are read and
// dropped meanwhile, so that nothing but the script steers a scripted run.
class ScriptThenPage : public EventSource {
  public:
    explicit ScriptThenPage(ScriptedEvents& script) : script_(script) {}
    void pump(const Deliver& deliver) override;
    void wait(Clock& clock, uint32_t ms) override { page_.wait(clock, ms); }
    void forgetHeldKeys() override { page_.forgetHeldKeys(); }

  private:
    ScriptedEvents& script_;
    SdlEventSource page_;
};

}  // namespace platform
