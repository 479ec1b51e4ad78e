#include "game/screens/Pass.h"

#include "platform/Platform.h"

namespace quelvane {

namespace {
void (*messageHandler)(const platform::Message&) = nullptr;
}  // namespace

uint32_t frameSleep(uint32_t passStart, uint32_t now) {
    const uint32_t elapsed = now - passStart;
    return elapsed < kFramePeriod ? kFramePeriod - elapsed : 0;
}

void endPass(uint32_t passStart) {
    const uint32_t rest = frameSleep(passStart, platform::tickCount());
    if (rest > 0)
        platform::sleep(rest);
    notePass();
}

void notePass() {
    passEnds().tell();
}

platform::Observers<>& passEnds() {
    static platform::Observers<> observers;
    return observers;
}

void setMessageHandler(void (*handler)(const platform::Message&)) {
    messageHandler = handler;
}

void dispatchMessage(const platform::Message& message) {
    if (messageHandler)
        messageHandler(message);
}

}  // namespace quelvane
