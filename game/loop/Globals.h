#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "audio/AudioSystem.h"
#include "game/gfx/StarField.h"
#include "platform/GameWindow.h"

namespace quelvane {

// The loop's long-lived objects: single instances that live for the whole run.

extern std::unique_ptr<platform::GameWindow> gameWindow;
// The sound effects and the music; made before start-up, ended after the shutdown.
extern std::unique_ptr<AudioSystem> audioSystem;

// The two pieces of music, each repeating forever; null when its file could not be loaded.
extern std::unique_ptr<MusicSegment> titleMusic;
extern std::unique_ptr<MusicSegment> backgroundMusic;

// Each star's old place blackened, or each star moved and drawn, inside one lock of the display.
void eraseStars();
void moveStars();

// Frames of play run since start-up, as the tests count them (the replay counts the passes of every
// loop, told by passEnds).
extern uint32_t framesRun;

}  // namespace quelvane
