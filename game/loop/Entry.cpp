#include "game/loop/Entry.h"

#include <cstdio>

#include "game/core/Random.h"
#include "game/gfx/Display.h"
#include "game/gfx/ShipIcon.h"
#include "game/loop/GameOverScreen.h"
#include "game/loop/Globals.h"
#include "game/loop/Startup.h"
#include "game/loop/TitleScreen.h"
#include "game/loop/WindowProc.h"
#include "game/player/Ship.h"
#include "game/screens/Pass.h"
#include "platform/Platform.h"

namespace quelvane {

namespace {

WindowMaker windowMaker;
bool soundHeld = false;

// Where the pictures go when no window is chosen: nowhere.
class NoWindow : public platform::GameWindow {
  public:
    bool open(int, int, bool) override { return true; }
    void present(const uint32_t*, int) override {}
    void close() override {}
    void toggleFullScreen() override {}
    void setPaused(bool) override {}
    void refresh() override {}
    SDL_Window* handle() const override { return nullptr; }
};

}  // namespace

void useGameWindow(WindowMaker maker) {
    windowMaker = std::move(maker);
}

bool openGame(uint32_t seed, AudioSystem::Output sound) {
    seedRandom(seed);
    // The screens hand the messages they do not consume to the window procedure.
    setMessageHandler(windowProc);
    AudioSystem::Options options;
    options.output = sound;
    audioSystem = std::make_unique<AudioSystem>(options);
    // A paused game is silent too.
    platform::onPauseChange([](bool paused) {
        if (audioSystem)
            audioSystem->Pause(paused || soundHeld);
    });
    static const auto icon = shipIcon();
    gameWindow = windowMaker ? windowMaker("Quelvane!", 640, 480, icon.data())
                             : std::make_unique<NoWindow>();
    if (!gameWindow) {
        std::fprintf(stderr, "quelvane: cannot open the game's window\n");
        audioSystem.reset();
        return false;
    }
    initialiseGame();
    if (display.GetStatus().state != DisplayState::Ready) {
        std::fprintf(stderr, "quelvane: cannot take over the screen\n");
        endGame();
        return false;
    }
    setGameOverHandler(runGameOverScreen);
    return true;
}

bool startGame(uint32_t seed, AudioSystem::Output sound) {
    if (!openGame(seed, sound))
        return false;
    runTitleScreen();
    return true;
}

void holdSound(bool held) {
    soundHeld = held;
    if (audioSystem)
        audioSystem->Pause(held || platform::isPaused());
}

void endGame() {
    shutdownGame();
    platform::onPauseChange(nullptr);
    audioSystem.reset();
}

}  // namespace quelvane
