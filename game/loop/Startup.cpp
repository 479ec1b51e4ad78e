#include "game/loop/Startup.h"

#include <optional>
#include <string>

#include "audio/AudioSystem.h"
#include "audio/DeviceSettings.h"
#include "game/core/ExitRequest.h"
#include "game/gfx/Colour.h"
#include "game/gfx/Display.h"
#include "game/gfx/Font.h"
#include "game/loop/Globals.h"
#include "game/player/Bullet.h"
#include "game/player/LaserBolt.h"
#include "game/player/Rocket.h"
#include "game/player/Ship.h"
#include "game/world/Alien.h"
#include "game/world/AlienShot.h"
#include "game/world/Assets.h"
#include "game/world/ComboUpgrade.h"
#include "game/world/Explosion.h"
#include "game/world/FreeLimitBreak.h"
#include "game/world/ObjectLists.h"
#include "game/world/ShieldPickup.h"
#include "game/world/WeaponUpgrade.h"
#include "game/world/World.h"
#include "platform/Platform.h"

namespace quelvane {

namespace {

constexpr int kScreenWidth = 640;
constexpr int kScreenHeight = 480;
constexpr uint32_t kPriorityCooperativeLevel = 2;
constexpr uint32_t kRepeatForever = 0xFFFFFFFF;

std::unique_ptr<MusicSegment> loadLoopingMusic(const char* fileName) {
    auto music = loadMusic(*audioSystem, fileName);
    if (music)
        music->SetRepeats(kRepeatForever);
    return music;
}

}  // namespace

void initialiseGame() {
    // Read before the screen is taken over, so that the message shows on the desktop.
    const std::optional<std::string> portName = readDeviceSettings(kDeviceSettingsFile);
    if (!portName) {
        platform::messageBox("Execute tonspire and run the program again.", "MIDI Device Error");
        // Everything below is still made, so that the normal shutdown releases it.
        exitRequested = true;
    }
    audioSystem->InitMusic(nullptr, kPriorityCooperativeLevel,
                           portName ? portName->c_str() : nullptr);
    // A piece that cannot be loaded leaves the game without that music.
    titleMusic = loadLoopingMusic("title.mid");
    backgroundMusic = loadLoopingMusic("background.mid");

    display.Init(gameWindow.get(), kScreenWidth, kScreenHeight, 32,
                 kCooperativeFullscreen | kCooperativeAllowReboot | kCooperativeExclusive, true);
    starField.clear();
    starField.reserve(kStarCount);
    for (int i = 0; i < kStarCount; ++i)
        starField.emplace_back(display);
    eraseColour = display.MatchColor(nullptr, rgb(0, 0, 0));
    barFrameColour = display.MatchColor(nullptr, rgb(255, 255, 0));
    hudFont = Font::create(16, 7, 700, kFixedPitch | kFamilyModern);

    // Each kind loads its own pictures and sounds; a missing file leaves that one out.
    AudioSystem& audio = *audioSystem;
    loadAlienAssets(display);
    loadAlienShotAssets(display, audio);
    loadBulletAssets(display, audio);
    loadComboUpgradeAssets(display);
    loadExplosionAssets(display, audio);
    loadFreeLimitBreakAssets(display);
    loadLaserAssets(display, audio);
    loadWeaponUpgradeAssets(display);
    loadRocketAssets(display, audio);
    loadShieldPickupAssets(display);
    loadShipAssets(display);
    loadPickupSound(audio);

    platform::showCursor(false);
}

void shutdownGame() {
    starField.clear();
    clearWorld();
    audioSystem->StopMusic();
    titleMusic.reset();
    backgroundMusic.reset();
    releaseAlienAssets();
    releaseAlienShotAssets();
    releaseBulletAssets();
    releaseComboUpgradeAssets();
    releaseExplosionAssets();
    releaseFreeLimitBreakAssets();
    releaseLaserAssets();
    releaseWeaponUpgradeAssets();
    releaseRocketAssets();
    releaseShieldPickupAssets();
    releaseShipAssets();
    releasePickupSound();
    hudFont.reset();
    platform::showCursor(true);
    display.Release();
    gameWindow.reset();
}

}  // namespace quelvane
