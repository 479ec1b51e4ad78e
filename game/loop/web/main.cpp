// The game's entry in a browser (in place of game/loop/main.cpp). The page (web/) has mounted the
// player's stored files on /data and passes its URL's test settings as arguments:
//
//   --seed S        the random generator's seed (else the date's milliseconds)
//   --tick-start T  with --keys: where the virtual tick count starts, as quelvane-replay's
//   --keys FILE     quelvane-replay's keys file, by pass; the tick count is then virtual (it moves
//                   on only by the passes' sleeps, as in the replay), so the frames are the
//                   replay's own. Once the script is spent the page's keys take over.
//   --hold N        after pass N the game waits, its picture on the canvas, until released
//   --fast          while the script runs, the passes do not wait out their 15 ms
//
// The page reads the game's progress through the quelvane_* functions below.
#include <emscripten.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "audio/DeviceSettings.h"
#include "audio/PortNames.h"
#include "game/core/ExitRequest.h"
#include "game/loop/Entry.h"
#include "game/loop/MainLoop.h"
#include "game/screens/Pass.h"
#include "game/screens/Screen.h"
#include "game/world/Assets.h"
#include "platform/Clock.h"
#include "platform/EventSource.h"
#include "platform/KeysFile.h"
#include "platform/Platform.h"

namespace {

using namespace quelvane;

constexpr const char* kPlayerFolder = "/data";
constexpr const char* kAssetFolder = "/assets";

struct PageOptions {
    bool seeded = false;
    uint32_t seed = 0;
    uint32_t tickStart = 0;
    std::string keysFile;
    long long hold = -1;
    bool fast = false;
};

bool parseOptions(int argc, char** argv, PageOptions& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--fast") {
            options.fast = true;
            continue;
        }
        if (i + 1 >= argc)
            return false;
        const std::string value = argv[++i];
        uint32_t number = 0;
        const bool isNumber = platform::parseNumber(value, number);
        if (arg == "--keys")
            options.keysFile = value;
        else if (arg == "--seed" && isNumber)
            options.seeded = true, options.seed = number;
        else if (arg == "--tick-start" && isNumber)
            options.tickStart = number;
        else if (arg == "--hold" && isNumber)
            options.hold = number;
        else
            return false;
    }
    return true;
}

// Hands control to the browser and comes back as soon as it has run what waits, without the
// 4 ms a chain of zero timeouts is held to.
EM_ASYNC_JS(void, yieldToPage, (), {
    await new Promise(function(resolve) {
        var channel = new MessageChannel();
        channel.port1.onmessage = resolve;
        channel.port2.postMessage(0);
    });
});

// The page's clock, or with a script the replay's virtual one; either way a sleep hands control to
// the browser. It also adds up the time the game works between its sleeps, for the page's
// measurement of a frame's cost.
class PageClock : public platform::Clock {
  public:
    PageClock(bool isVirtual, uint32_t start) : virtual_(isVirtual), virtualNow_(start) {}
    uint32_t ticks() override {
        return virtual_ ? virtualNow_
                        : static_cast<uint32_t>(static_cast<uint64_t>(emscripten_get_now()));
    }
    void sleep(uint32_t ms) override {
        busy_ += emscripten_get_now() - woke_;
        if (virtual_)
            virtualNow_ += ms;
        if (fast_) {
            // Every few passes: each hand-over costs the page a task of its own.
            if (++fastSleeps_ % 4 == 0)
                yieldToPage();
        } else {
            // A browser's timer fires a millisecond or two late: asked for the pass's rest less
            // what the last sleep overslept, the passes keep their 15 ms on average.
            const double before = emscripten_get_now();
            emscripten_sleep(static_cast<unsigned>(std::max(0.0, ms - late_) + 0.5));
            late_ = std::clamp(late_ + (emscripten_get_now() - before) - ms, 0.0, kMostLate);
        }
        woke_ = emscripten_get_now();
    }
    void setFast(bool fast) { fast_ = fast; }
    double busyMilliseconds() const { return busy_; }

  private:
    bool virtual_;
    uint32_t virtualNow_;
    bool fast_ = false;
    unsigned fastSleeps_ = 0;
    double busy_ = 0;
    double woke_ = emscripten_get_now();
    // A page held up for longer (a hidden tab) does not make up for it with a burst of passes.
    static constexpr double kMostLate = 15;
    double late_ = 0;
};

// Scripted messages while the script lasts, the page's own after it; the page's are read and
// dropped meanwhile, so that nothing but the script steers a scripted run.
class ScriptThenPage : public platform::EventSource {
  public:
    explicit ScriptThenPage(platform::ScriptedEvents& script) : script_(script) {}
    void pump(const Deliver& deliver) override {
        script_.pump(deliver);
        if (script_.finished())
            page_.pump(deliver);
        else
            page_.pump([](const platform::Message&) {});
    }
    void wait(platform::Clock& clock, uint32_t ms) override { page_.wait(clock, ms); }
    void forgetHeldKeys() override { page_.forgetHeldKeys(); }

  private:
    platform::ScriptedEvents& script_;
    platform::SdlEventSource page_;
};

struct Run {
    PageOptions options;
    // The page's choice of music device, saved at the end of the next pass.
    std::optional<std::string> chosenDevice;
    PageClock* clock = nullptr;
    platform::ScriptedEvents* script = nullptr;
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

// The page's MIDI control: the game saves the player's choice as tonspire does, at the end of
// its pass. Not here: a save waits for IndexedDB (fsync sleeps under Asyncify), and a call from
// the page while the game sleeps must not sleep itself.
EMSCRIPTEN_KEEPALIVE void quelvane_choose_device(const char* name) {
    run.chosenDevice = name;
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
    if (!parseOptions(argc, argv, run.options)) {
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

    platform::ScriptedEvents script;
    const bool scripted = !run.options.keysFile.empty();
    if (scripted) {
        std::string error;
        if (!platform::loadKeysFile(run.options.keysFile, script, error)) {
            std::fprintf(stderr, "quelvane: %s\n", error.c_str());
            std::exit(2);
        }
        run.script = &script;
    }
    static ScriptThenPage scriptThenPage(script);
    static PageClock clock(scripted, run.options.tickStart);
    clock.setFast(scripted && run.options.fast);
    run.clock = &clock;
    platform::useClock(&clock);
    if (scripted)
        platform::useEventSource(&scriptThenPage);
    setPassObserver(afterPass);

    const uint32_t seed =
        run.options.seeded
            ? run.options.seed
            : static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                        std::chrono::system_clock::now().time_since_epoch())
                                        .count());
    if (!startGame(seed))
        std::exit(1);
    runMainLoop();
    endGame();
    EM_ASM({
        if (Module['quelvanePage'])
            Module['quelvanePage'].ended();
    });
    // main's own return is lost once Asyncify has slept.
    std::exit(0);
}
