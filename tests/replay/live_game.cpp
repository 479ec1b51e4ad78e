// The real game, played in real time by a player made of SDL key events: the system clock, SDL's
// own event queue and the game's recorder, as `quelvane` has them, on SDL's dummy video driver.
// After every pass it decides what the player presses next from the screen in force and the time
// (so the game's course follows the machine's jitter), and writes a trace row and a few captures
// of every recorded game, which a replay of the recording must give again row for row.
//   live_game FOLDER PASSES [SECONDS]   plays until PASSES passes of recorded games have run and a
//                                       second game is under way, then quits; each game is played
//                                       actively for SECONDS (45), then the ship sits still
// FOLDER receives replays/ (the recordings), game-N.tsv and game-N-PASS.bmp for each game N.
#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "game/core/ExitRequest.h"
#include "game/gfx/Display.h"
#include "game/loop/Entry.h"
#include "game/loop/MainLoop.h"
#include "game/player/Ship.h"
#include "game/replay/GameRecorder.h"
#include "game/replay/TraceState.h"
#include "game/screens/Pass.h"
#include "game/screens/Screen.h"
#include "game/world/Alien.h"
#include "game/world/Assets.h"
#include "game/world/ObjectLists.h"
#include "platform/Platform.h"
#include "platform/Window.h"

namespace {

using namespace quelvane;

// The passes of each game whose picture is captured.
constexpr uint32_t kCapturedPasses[] = {200, 1500, 4000};

struct Live {
    std::filesystem::path folder;
    uint32_t passesWanted = 0;
    GameRecorder* recorder = nullptr;
    uint32_t passesRecorded = 0;  // over every game
    int game = 0;
    std::ofstream trace;
    std::optional<Screen> lastScreen;
    uint32_t screenSince = 0;  // the tick the screen in force came in
    uint32_t lastPress = 0;
    uint32_t playStart = 0;  // when the game under way began
    uint32_t activeMs = 45'000;
    int typed = 0;
    bool quitSent = false;
};
Live live;

void push(SDL_Scancode code, bool down) {
    SDL_Event e{};
    e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    e.key.type = e.type;
    e.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    e.key.keysym.scancode = code;
    SDL_PushEvent(&e);
}

// A key pressed and let go; a key that types sends its text between, as a keyboard does.
void tap(SDL_Scancode code, const char* text = nullptr) {
    push(code, true);
    if (text) {
        SDL_Event typed{};
        typed.type = SDL_TEXTINPUT;
        SDL_strlcpy(typed.text.text, text, sizeof typed.text.text);
        SDL_PushEvent(&typed);
    }
    push(code, false);
}

// Holds the key down or lets it go, telling SDL only of changes.
void hold(SDL_Scancode key, bool down) {
    static bool held[SDL_NUM_SCANCODES] = {};
    if (held[key] != down) {
        held[key] = down;
        push(key, down);
    }
}

// Steers towards a point, a few pixels either way being close enough.
void steer(int32_t dx, int32_t dy) {
    hold(SDL_SCANCODE_LEFT, dx < -4);
    hold(SDL_SCANCODE_RIGHT, dx > 4);
    hold(SDL_SCANCODE_UP, dy < -4);
    hold(SDL_SCANCODE_DOWN, dy > 4);
}

// What the player does in play, looking at the field as a player would: for 45 seconds fires all
// the time with the LimitBreak button held, flies to the items it sees and otherwise keeps under
// the first alien, now and then with a weapon key; then sits still, the LimitBreak button still
// held, until the aliens end the game.
void play(uint32_t now, uint32_t playing) {
    if (playing > live.activeMs) {
        steer(0, 0);
        hold(SDL_SCANCODE_LCTRL, false);
        return;
    }
    hold(SDL_SCANCODE_LCTRL, true);
    hold(SDL_SCANCODE_RETURN, true);
    if (!pickups.empty())
        steer(pickups.front()->x - player.x, pickups.front()->y - player.y);
    else if (!aliens.empty())
        steer(static_cast<int32_t>(aliens.front().x) + 8 - player.x, 360 - player.y);
    if (now - live.lastPress > 7'000) {
        live.lastPress = now;
        tap(static_cast<SDL_Scancode>(SDL_SCANCODE_1 + (now / 7'000) % 4));
    }
}

// The player's next keys, from the screen in force and how long it has been shown.
void decide() {
    const uint32_t now = platform::peekTickCount();
    if (currentScreen != live.lastScreen) {
        live.lastScreen = currentScreen;
        live.screenSince = now;
        live.typed = 0;
        for (const SDL_Scancode key : {SDL_SCANCODE_LCTRL, SDL_SCANCODE_RETURN, SDL_SCANCODE_LEFT,
                                       SDL_SCANCODE_RIGHT, SDL_SCANCODE_UP, SDL_SCANCODE_DOWN})
            hold(key, false);
    }
    const uint32_t shown = now - live.screenSince;
    switch (currentScreen) {
        case Screen::Title:
        case Screen::GameOver:
            if (shown > 700 && shown < 2000 && now - live.lastPress > 300) {
                live.lastPress = now;
                tap(SDL_SCANCODE_G);
            }
            break;
        case Screen::Name: {
            static const std::pair<SDL_Scancode, const char*> name[] = {
                {SDL_SCANCODE_L, "L"},
                {SDL_SCANCODE_I, "i"},
                {SDL_SCANCODE_V, "v"},
                {SDL_SCANCODE_E, "e"},
                {SDL_SCANCODE_RETURN, nullptr}};
            if (shown > 200 && live.typed < 5 && now - live.lastPress > 100) {
                live.lastPress = now;
                const auto& [key, text] = name[live.typed++];
                tap(key, text);
            }
            break;
        }
        case Screen::Play:
            play(now, now - live.playStart);
            break;
        default:
            if (shown > 500)
                tap(SDL_SCANCODE_SPACE);
            break;
    }
}

// The recorder has just saved the game that ended as the last one: a copy of it stays beside its
// trace.
void keepLastGame() {
    std::error_code ignored;
    std::filesystem::copy_file(live.folder / "replays" / "last.qvr",
                               live.folder / ("game-" + std::to_string(live.game) + ".qvr"),
                               std::filesystem::copy_options::overwrite_existing, ignored);
}

void traceGame() {
    const auto& game = live.recorder->current();
    if (!game) {
        if (live.trace.is_open()) {
            live.trace.close();
            keepLastGame();
        }
        return;
    }
    const uint32_t pass = game->header.passes;
    if (pass == 1) {
        ++live.game;
        live.playStart = platform::peekTickCount();
        live.trace.close();
        live.trace.open(live.folder / ("game-" + std::to_string(live.game) + ".tsv"));
        writeTraceRow(live.trace, traceState(0, Screen::Play, 0), true);
    }
    writeTraceRow(live.trace, traceState(pass, currentScreen, game->passTicks.back()), false);
    for (const uint32_t captured : kCapturedPasses) {
        if (pass == captured + 1) {
            display.SavePresented((live.folder / ("game-" + std::to_string(live.game) + "-" +
                                                  std::to_string(captured) + ".bmp"))
                                      .string());
        }
    }
    ++live.passesRecorded;
}

void afterPass() {
    traceGame();
    // Two games at least: one to its end, and a while of the next.
    const auto& game = live.recorder->current();
    const bool secondGameUnderWay = live.game >= 2 && game && game->header.passes >= 300;
    if (live.passesRecorded >= live.passesWanted && secondGameUnderWay && !live.quitSent) {
        live.quitSent = true;
        SDL_Event quit{};
        quit.type = SDL_QUIT;
        SDL_PushEvent(&quit);
        return;
    }
    decide();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3 && argc != 4) {
        std::fprintf(stderr, "usage: live_game FOLDER PASSES [SECONDS]\n");
        return 2;
    }
    if (argc == 4)
        live.activeMs = static_cast<uint32_t>(std::strtoul(argv[3], nullptr, 10)) * 1000;
    live.folder = std::filesystem::absolute(argv[1]);
    live.passesWanted = static_cast<uint32_t>(std::strtoul(argv[2], nullptr, 10));
    std::filesystem::create_directories(live.folder);
    std::filesystem::current_path(live.folder);
    std::ofstream("MidiDevice.ini") << "Software Synthesizer";
    std::error_code ignored;
    setAssetFolder(
        std::filesystem::read_symlink("/proc/self/exe", ignored).parent_path().parent_path() /
        "run");
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    useGameWindow(&platform::Window::create);
    GameRecorder recorder("replays");
    live.recorder = &recorder;
    // After the recorder's own: each pass is traced once the recording has counted it.
    const platform::Subscription passes = passEnds().subscribe(afterPass);
    if (!startGame(platform::tickCount(), AudioSystem::Output::Offline))
        return 1;
    runMainLoop();
    recorder.finish();
    if (live.trace.is_open())
        keepLastGame();
    endGame();
    std::printf("%d games, %u passes recorded\n", live.game, live.passesRecorded);
    return 0;
}
