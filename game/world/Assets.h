#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "game/gfx/Surface.h"

class AudioSystem;
class SoundBuffer;

namespace quelvane {

class Display;

// Pictures and sounds are opened by bare name in the working directory, or in this folder once it
// is set (the replay tool uses the folder of its own program when the working directory has none).
void setAssetFolder(const std::filesystem::path& folder);
std::string assetPath(const char* fileName);

// Every sprite of the game has black as its transparent colour. A missing or damaged file gives
// null: the game goes on without that picture.
SurfacePtr loadSprite(Display& display, const char* fileName);

// Every sound of the game is one static buffer holding the whole sound; null when the file is
// missing or damaged, and the game goes on silent there.
std::unique_ptr<SoundBuffer> loadSound(AudioSystem& audio, const char* fileName);

}  // namespace quelvane
