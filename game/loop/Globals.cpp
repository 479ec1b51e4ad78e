#include "game/loop/Globals.h"

namespace quelvane {

std::unique_ptr<platform::Window> gameWindow;
std::unique_ptr<AudioSystem> audioSystem;
std::unique_ptr<MusicSegment> titleMusic;
std::unique_ptr<MusicSegment> backgroundMusic;
std::vector<Star> starField;
uint32_t framesRun = 0;

}  // namespace quelvane
