#include "game/world/Assets.h"

#include "audio/AudioSystem.h"
#include "game/gfx/Display.h"

namespace quelvane {

namespace {
// The flag that asks for a static buffer; the audio system makes every buffer static anyway.
constexpr uint32_t kStaticBuffer = 0x2;

std::filesystem::path assetFolder;
}  // namespace

void setAssetFolder(const std::filesystem::path& folder) {
    assetFolder = folder;
}

std::string assetPath(const char* fileName) {
    return assetFolder.empty() ? fileName : (assetFolder / fileName).string();
}

SurfacePtr loadSprite(Display& display, const char* fileName) {
    SurfacePtr sprite = display.LoadBitmap(assetPath(fileName).c_str());
    display.SetColorKey(sprite.get(), rgb(0, 0, 0));
    return sprite;
}

std::unique_ptr<SoundBuffer> loadSound(AudioSystem& audio, const char* fileName) {
    return audio.LoadWav(assetPath(fileName).c_str(), kStaticBuffer);
}

}  // namespace quelvane
