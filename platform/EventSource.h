#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "platform/Gamepad.h"
#include "platform/InputWait.h"
#include "platform/Message.h"

union SDL_Event;

namespace platform {

class Clock;
class Controls;

// Where the window's messages come from: SDL's event queue, or a script.
class EventSource {
  public:
    using Deliver = std::function<void(const Message&)>;
    virtual ~EventSource() = default;
    // Hands every message that is waiting to deliver, without blocking.
    virtual void pump(const Deliver& deliver) = 0;
    // Waits up to ms for a message without using the processor; by default it sleeps on clock.
    virtual void wait(Clock& clock, uint32_t ms);
    // Forgets which keys the source itself holds down (a game controller's buttons), after the
    // platform released every key.
    virtual void forgetHeldKeys() {}
};

// Reads SDL's events while SDL's video is running, game controllers' included.
class SdlEventSource : public EventSource {
  public:
    // The full-screen key is the one of the bindings in force.
    void pump(const Deliver& deliver) override;
    // The same with the full-screen key of bindings.
    void read(const Deliver& deliver, const Controls& bindings);
    // Sleeps on the display of the window watched and on the controllers; on a virtual clock, in
    // the clock's own sleep.
    void wait(Clock& clock, uint32_t ms) override;
    void forgetHeldKeys() override { gamepads_.forget(); }
    // The window whose display the waits watch; null for none.
    void watchWindow(SDL_Window* window) { input_->watchWindow(window); }

  private:
    // A game controller plugged in, pulled out, pressed or moved; nothing for other events.
    void controllerEvent(const SDL_Event& event, const Deliver& deliver);

    GamepadKeys gamepads_;
    std::unique_ptr<InputWait> input_ = makeInputWait();
};

// Messages scripted by frame: each is delivered once the current frame has reached its own.
class ScriptedEvents : public EventSource {
  public:
    void add(uint32_t frame, const Message& message);
    void setFrame(uint32_t frame) { frame_ = frame; }
    void pump(const Deliver& deliver) override;
    bool finished() const { return next_ == events_.size(); }

  private:
    struct Event {
        uint32_t frame;
        Message message;
    };
    std::vector<Event> events_;
    size_t next_ = 0;
    uint32_t frame_ = 0;
};

}  // namespace platform
