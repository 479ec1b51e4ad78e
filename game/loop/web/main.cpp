// The game's entry in a browser. The page (web/) has mounted the player's stored files on /data
// and passes its URL's test settings as arguments (PageOptions.h). The game's window is the
// page's canvas, its clock the page's. The page reads the game's progress through the quelvane_*
// functions below.
#include <emscripten.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "audio/DeviceSettings.h"
#include "audio/PortNames.h"
#include "game/loop/Entry.h"
#include "game/loop/WorldTablePage.h"
#include "game/loop/web/PageOptions.h"
#include "game/loop/web/PageReplays.h"
#include "game/screens/Pass.h"
#include "game/screens/Screen.h"
#include "game/world/Assets.h"
#include "platform/EventSource.h"
#include "platform/KeysFile.h"
#include "platform/Platform.h"
#include "platform/web/CanvasScreen.h"
#include "platform/web/PageClock.h"
#include "platform/web/ScriptThenPage.h"

namespace {

using namespace quelvane;

constexpr const char* kPlayerFolder = "/data";
constexpr const char* kAssetFolder = "/assets";
// The game's picture, 640 x 480 XRGB pixels.
constexpr size_t kPictureBytes = 640 * 480 * 4;

struct Run {
    PageOptions options;
    // The page's choice of music device, saved at the end of the next pass.
    std::optional<std::string> chosenDevice;
    platform::PageClock* clock = nullptr;
    platform::CanvasScreen* screen = nullptr;
    platform::ScriptedEvents* script = nullptr;
    platform::EventSource* events = nullptr;
    long long passes = 0;
    bool held = false;
};
Run run;

void afterPass() {
    const long long pass = run.passes++;
    if (run.chosenDevice) {
        writeDeviceSettings(kDeviceSettingsFile, limitDescription(*run.chosenDevice));
        run.chosenDevice.reset();
    }
    if (run.script) {
        run.script->setFrame(static_cast<uint32_t>(pass + 1));
        // The page's own pace once the script is spent: a player may be typing.
        if (run.script->finished())
            run.clock->setFast(false);
    }
    if (pass == run.options.hold) {
        run.held = true;
        while (run.held)
            emscripten_sleep(50);
    }
}

// New players get the built-in synthesizer, as tonspire would preselect it: a page has no setup
// program to ask them first, and the page's control changes it later.
void chooseDefaultDevice() {
    std::error_code error;
    if (!std::filesystem::exists(kDeviceSettingsFile, error))
        writeDeviceSettings(kDeviceSettingsFile, kSoftwareSynthesizerName);
}

// The page's clock, and with a keys script its events, in place of the platform's.
void useSeams() {
    platform::useClock(run.clock);
    if (run.events)
        platform::useEventSource(run.events);
}

// The page's clock and events as the URL's settings ask: with a keys script, a virtual clock and
// the script's keys until it is spent.
void setUpSeams() {
    static platform::ScriptedEvents script;
    const bool scripted = !run.options.keysFile.empty();
    if (scripted) {
        std::string error;
        if (!platform::loadKeysFile(run.options.keysFile, script, error)) {
            std::fprintf(stderr, "quelvane: %s\n", error.c_str());
            std::exit(2);
        }
        run.script = &script;
    }
    static platform::ScriptThenPage scriptThenPage(script);
    static platform::PageClock clock(scripted, run.options.tickStart);
    clock.setFast(scripted && run.options.fast);
    run.clock = &clock;
    run.events = scripted ? &scriptThenPage : nullptr;
    useSeams();
}

uint32_t dateSeed() {
    return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                     std::chrono::system_clock::now().time_since_epoch())
                                     .count());
}

}  // namespace

extern "C" {

EMSCRIPTEN_KEEPALIVE long long quelvane_passes() {
    return run.passes;
}

EMSCRIPTEN_KEEPALIVE const char* quelvane_screen() {
    return screenName(currentScreen);
}

EMSCRIPTEN_KEEPALIVE double quelvane_busy_ms() {
    return run.clock ? run.clock->busyMilliseconds() : 0;
}

EMSCRIPTEN_KEEPALIVE int quelvane_held() {
    return run.held ? 1 : 0;
}

EMSCRIPTEN_KEEPALIVE void quelvane_release() {
    run.held = false;
}

// What showing a picture costs, in milliseconds a picture over `times` of them: the last picture
// shown again, into the canvas; -1 before the first. Beside it the same number of memcpys of its
// bytes, for the page's test to read the one against the other.
EMSCRIPTEN_KEEPALIVE double quelvane_present_ms(int times) {
    if (!run.screen || times <= 0)
        return -1;
    const double start = emscripten_get_now();
    for (int i = 0; i < times; ++i)
        run.screen->refresh();
    return (emscripten_get_now() - start) / times;
}

EMSCRIPTEN_KEEPALIVE double quelvane_copy_ms(int times) {
    if (times <= 0)
        return -1;
    static std::vector<uint8_t> from(kPictureBytes, 1);
    static std::vector<uint8_t> to(kPictureBytes);
    const double start = emscripten_get_now();
    for (int i = 0; i < times; ++i) {
        std::memcpy(to.data(), from.data(), kPictureBytes);
        // Each copy is kept: nothing is known to read it.
        asm volatile("" : : "r"(to.data()) : "memory");
    }
    return (emscripten_get_now() - start) / times;
}

// The page's MIDI control: the game saves the player's choice as tonspire does, at the end of
// its pass. Not here: a save waits for IndexedDB (fsync sleeps under Asyncify), and a call from
// the page while the game sleeps must not sleep itself.
EMSCRIPTEN_KEEPALIVE void quelvane_choose_device(const char* name) {
    run.chosenDevice = name;
}

// A replay file the page has written, to be watched once the game under way has ended: "" when
// taken, else why it cannot be played. The page is answered by the replay's number
// (web/quelvane-page.js).
EMSCRIPTEN_KEEPALIVE const char* quelvane_play_replay(const char* file, int number) {
    static std::string answer;
    answer = handOverReplay(file, number);
    return answer.c_str();
}

// The saved choice as the game reads it, for the page's control; "" when there is none.
EMSCRIPTEN_KEEPALIVE const char* quelvane_saved_device() {
    static std::string name;
    name = readDeviceSettings(std::string(kPlayerFolder) + "/" + kDeviceSettingsFile).value_or("");
    return name.c_str();
}

}  // extern "C"

int main(int argc, char** argv) {
    // For the page's measurement of its start: loading and compiling end here.
    EM_ASM({ Module['quelvaneMainStarted'] = performance.now(); });
    if (!parsePageOptions(std::vector<std::string>(argv + 1, argv + argc), run.options)) {
        std::fprintf(stderr, "quelvane: the page's settings are not understood\n");
        std::exit(2);
    }
    // The player's files by bare name, as on the desktop; the page keeps this folder in IndexedDB.
    if (chdir(kPlayerFolder) != 0) {
        std::fprintf(stderr, "quelvane: no folder %s for the player's files\n", kPlayerFolder);
        std::exit(1);
    }
    setAssetFolder(kAssetFolder);
    chooseDefaultDevice();
    // The page has no world.ini: its bar joins the world table of the server that serves it.
    useWorldTableJoinText(
        "You are not on the world table here.\n"
        "\n"
        "When a world server serves this page, the\n"
        "page's bar offers to send your games to its\n"
        "table, where each score counts once the\n"
        "server has played the game again, and shows\n"
        "the table beside the game.");
    useGameWindow([](const char* caption, int width, int height, const uint32_t* icon) {
        auto screen = platform::CanvasScreen::create(caption, width, height, icon);
        run.screen = screen.get();
        return std::unique_ptr<platform::GameWindow>(std::move(screen));
    });

    setUpSeams();
    const platform::Subscription passes = passEnds().subscribe(afterPass);

    // The URL's seed for the first game; later ones, after a replay, the date's.
    bool seeded = run.options.seeded;
    PageRuns runs;
    runs.seed = [&seeded] {
        const bool given = std::exchange(seeded, false);
        return given ? run.options.seed : dateSeed();
    };
    runs.restoreSeams = useSeams;
    if (!playGamesAndReplays(runs))
        std::exit(1);
    EM_ASM({
        if (Module['quelvanePage'])
            Module['quelvanePage'].ended();
    });
    // main's own return is lost once Asyncify has slept.
    std::exit(0);
}
