#include "support/ScriptedGame.h"

#include <cstdlib>
#include <fstream>

#include "game/core/ExitRequest.h"
#include "game/loop/Entry.h"
#include "game/screens/Pass.h"
#include "game/world/Assets.h"
#include "platform/Platform.h"
#include "platform/Window.h"

namespace quelvane {

ScriptedGame::ScriptedGame(uint32_t seed, uint32_t tickStart) : clock(tickStart) {
    // Headless and silent, whatever the session offers.
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    previousFolder_ = std::filesystem::current_path();
    folder_ = std::make_unique<TempDir>();
    if (folder_->path().empty())
        return;
    std::filesystem::current_path(folder_->path());
    std::ofstream("MidiDevice.ini") << "Software Synthesizer";
    setAssetFolder(QUELVANE_RUN_DIR);
    useGameWindow(&platform::Window::create);
    platform::useClock(&clock);
    platform::useEventSource(&keys);
    passes_ = passEnds().subscribe([this] {
        screens.push_back(currentScreen);
        keys.setFrame(++passes);
        if (onPass)
            onPass();
    });
    key(kFirstPassOfPlay - 1, 'G', true);
    key(kFirstPassOfPlay, 'G', false);
    exitRequested = false;
    running_ = startGame(seed, AudioSystem::Output::Offline);
    passesAtStart_ = passes;
}

ScriptedGame::~ScriptedGame() {
    if (running_)
        endGame();
    passes_.end();
    setAssetFolder({});
    useGameWindow(nullptr);
    platform::useEventSource(nullptr);
    platform::useClock(nullptr);
    platform::resetInput();
    std::filesystem::current_path(previousFolder_);
    exitRequested = false;
}

void ScriptedGame::key(uint32_t fromNow, int code, bool down) {
    keys.add(passes + fromNow,
             {down ? platform::MessageKind::KeyDown : platform::MessageKind::KeyUp, code});
}

void ScriptedGame::restartKeys(uint32_t pass) {
    passes = pass;
    screens.clear();
    keys = platform::ScriptedEvents{};
    keys.setFrame(passes);
    platform::resetInput();
}

}  // namespace quelvane
