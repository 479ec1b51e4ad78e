#pragma once

#include "platform/AttachedWindow.h"
#include "platform/Screen.h"

namespace platform {

// The game's window as the game holds it: the screen its pictures go to, which the platform's
// message pump also pauses, repaints and switches to the whole screen. The desktop's is an SDL
// window (Window.h), a page's its canvas.
class GameWindow : public Screen, public AttachedWindow {};

}  // namespace platform
