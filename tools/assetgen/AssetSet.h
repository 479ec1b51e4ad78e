#pragma once

#include <optional>
#include <string>
#include <vector>

#include "tools/assetgen/Image.h"
#include "tools/assetgen/SoundEffects.h"

namespace assetgen {

struct NamedImage {
    std::string file;
    Image image;
};

struct NamedSound {
    std::string file;
    Sound sound;
};

// Every bitmap of the game, in the order the game loads them, then the title. Text pixel art is
// read from artDir; on a bad art file the result is empty and error says why.
std::optional<std::vector<NamedImage>> makeBitmaps(const std::string& artDir, std::string& error);
std::vector<NamedSound> makeSounds();

// Writes the 18 bitmaps, 7 sounds and 2 music pieces into outDir.
bool writeAssets(const std::string& artDir, const std::string& outDir, std::string& error);

}  // namespace assetgen
