#include "game/world/Assets.h"

#include <cstdio>
#include <set>

#include "audio/AudioSystem.h"
#include "game/gfx/Display.h"

namespace quelvane {

namespace {
// The flag that asks for a static buffer; the audio system makes every buffer static anyway.
constexpr uint32_t kStaticBuffer = 0x2;

std::filesystem::path assetFolder;

// Said once per file: the title screen loads its picture every time it opens.
void reportUnloaded(const std::string& path, const std::string& why) {
    static std::set<std::string> reported;
    if (reported.insert(path).second)
        std::fprintf(stderr, "quelvane: cannot load %s: %s\n", path.c_str(), why.c_str());
}
}  // namespace

void setAssetFolder(const std::filesystem::path& folder) {
    assetFolder = folder;
}

std::string assetPath(const char* fileName) {
    return assetFolder.empty() ? fileName : (assetFolder / fileName).string();
}

SurfacePtr loadSprite(Display& display, const char* fileName) {
    const std::string path = assetPath(fileName);
    std::string why;
    SurfacePtr sprite = display.LoadBitmap(path.c_str(), &why);
    if (!sprite)
        reportUnloaded(path, why);
    display.SetColorKey(sprite.get(), rgb(0, 0, 0));
    return sprite;
}

std::unique_ptr<SoundBuffer> loadSound(AudioSystem& audio, const char* fileName) {
    const std::string path = assetPath(fileName);
    std::string why;
    std::unique_ptr<SoundBuffer> sound = audio.LoadWav(path.c_str(), kStaticBuffer, &why);
    if (!sound)
        reportUnloaded(path, why);
    return sound;
}

std::unique_ptr<MusicSegment> loadMusic(AudioSystem& audio, const char* fileName) {
    const std::string path = assetPath(fileName);
    std::string why;
    std::unique_ptr<MusicSegment> music = audio.LoadMidi(path.c_str(), &why);
    if (!music)
        reportUnloaded(path, why);
    return music;
}

}  // namespace quelvane
