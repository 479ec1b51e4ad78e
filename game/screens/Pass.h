#pragma once

#include <cstdint>

#include "platform/Message.h"
#include "platform/Observers.h"

namespace quelvane {

// Passes are at least this many milliseconds apart, in every loop of the game.
inline constexpr uint32_t kFramePeriod = 15;

// How long a pass that started at passStart and has run until now sleeps; right across the wrap of
// the tick count.
uint32_t frameSleep(uint32_t passStart, uint32_t now);

// Ends a pass that started at passStart: sleeps for what is left of the frame period (no catching
// up), then tells the pass's observers. The screens pace themselves here too, so that no loop keeps
// a core busy when presenting does not wait for the screen.
void endPass(uint32_t passStart);

// Tells the pass's observers that a pass ended, without the sleep: for a screen that leaves at
// once.
void notePass();

// Told after every pass of every loop: a recording counts here, the replay tool traces and
// captures.
platform::Observers<>& passEnds();

// The window procedure: the screens hand it every message they do not consume themselves.
void setMessageHandler(void (*handler)(const platform::Message&));
void dispatchMessage(const platform::Message& message);

}  // namespace quelvane
