#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "game/gfx/Surface.h"

class AudioSystem;
class MusicSegment;
class SoundBuffer;

namespace quelvane {

class Display;

// Pictures and sounds are opened by bare name in the working directory, or in this folder once it
// is set (the replay tool uses the folder of its own program when the working directory has none).
void setAssetFolder(const std::filesystem::path& folder);
std::string assetPath(const char* fileName);

// An asset that cannot be loaded gives null and the game goes on without it; the first time, one
// line on standard error names the file and says why ("quelvane: cannot load ship.bmp: no such
// file"), so that a modder whose file is refused learns what to change.

// Every sprite of the game has black as its transparent colour.
SurfacePtr loadSprite(Display& display, const char* fileName);

// Every sound of the game is one static buffer holding the whole sound; without it the game goes
// on silent there.
std::unique_ptr<SoundBuffer> loadSound(AudioSystem& audio, const char* fileName);

// A piece of music, as the file gives it.
std::unique_ptr<MusicSegment> loadMusic(AudioSystem& audio, const char* fileName);

}  // namespace quelvane
