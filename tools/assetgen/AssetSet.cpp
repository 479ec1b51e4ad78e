#include "tools/assetgen/AssetSet.h"

#include "audio/WavWriter.h"
#include "game/gfx/BitmapFile.h"
#include "tools/assetgen/AlienCraft.h"
#include "tools/assetgen/EffectSheets.h"
#include "tools/assetgen/MidiFile.h"
#include "tools/assetgen/Music.h"
#include "tools/assetgen/Pickups.h"
#include "tools/assetgen/PixelArt.h"
#include "tools/assetgen/TitleLogo.h"

namespace assetgen {

std::optional<std::vector<NamedImage>> makeBitmaps(const std::string& artDir, std::string& error) {
    auto art = [&](const char* name) { return loadPixelArt(artDir + "/" + name + ".txt", error); };
    std::optional<Image> ship = art("ship"), ashot = art("ashot"), bullet = art("bullet"),
                         laser = art("laser"), missile = art("missile"), upgR = art("upg_r"),
                         upgLc = art("upg_lc"), upgLl = art("upg_ll"), upgM = art("upg_m");
    for (const auto* loaded :
         {&ship, &ashot, &bullet, &laser, &missile, &upgR, &upgLc, &upgLl, &upgM}) {
        if (!*loaded) {
            return std::nullopt;
        }
    }
    return std::vector<NamedImage>{
        {"alien.bmp", alienCraft()},
        {"ashot.bmp", *ashot},
        {"bullet.bmp", *bullet},
        {"upg_lc.bmp", *upgLc},
        {"upg_ll.bmp", *upgLl},
        {"upg_r.bmp", *upgR},
        {"upg_m.bmp", *upgM},
        {"explosion.bmp", explosionSheet()},
        {"freelb.bmp", freeLimitBreak()},
        {"laser.bmp", *laser},
        {"upg_laser.bmp", laserUpgrade()},
        {"upg_rocket.bmp", rocketUpgrade(*missile)},
        {"rocket.bmp", rocketFrames(*missile)},
        {"target.bmp", targetMarker()},
        {"r_explosion.bmp", blastSheet()},
        {"shields.bmp", shieldPickup()},
        {"ship.bmp", *ship},
        {"title.bmp", titleLogo()},
    };
}

std::vector<NamedSound> makeSounds() {
    return {{"ashot.wav", alienShotSound()},     {"bullet.wav", bulletSound()},
            {"explosion.wav", explosionSound()}, {"laser.wav", laserSound()},
            {"rocket.wav", rocketSound()},       {"r_explosion.wav", blastSound()},
            {"upg.wav", pickupSound()}};
}

bool writeAssets(const std::string& artDir, const std::string& outDir, std::string& error) {
    std::optional<std::vector<NamedImage>> bitmaps = makeBitmaps(artDir, error);
    if (!bitmaps) {
        return false;
    }
    for (const NamedImage& bitmap : *bitmaps) {
        if (!quelvane::writeBmp(outDir + "/" + bitmap.file, bitmap.image.toBitmap())) {
            error = "cannot write " + outDir + "/" + bitmap.file;
            return false;
        }
    }
    for (const NamedSound& sound : makeSounds()) {
        if (!writeWav(outDir + "/" + sound.file, 1, static_cast<uint32_t>(sound.sound.sampleRate),
                      sound.sound.samples)) {
            error = "cannot write " + outDir + "/" + sound.file;
            return false;
        }
    }
    const std::pair<const char*, Song> songs[2] = {{"title.mid", titleTheme()},
                                                   {"background.mid", battleTheme()}};
    for (const auto& [file, song] : songs) {
        if (!writeMidi(outDir + "/" + file, song.division, song.tracks)) {
            error = "cannot write " + outDir + "/" + file;
            return false;
        }
    }
    return true;
}

}  // namespace assetgen
