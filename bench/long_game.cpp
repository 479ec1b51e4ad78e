// long_game: finds the keys of a genuine game of at least ten minutes of play, for the world
// service's benchmark. It plays the real game in-process, headless on a virtual clock, as
// quelvane-replay does, and looks ahead with fork(): at every decision each child, a copy of the
// whole game, plays one course of the ship and tells the parent through a pipe how long its ship
// went unhit; the parent then flies the first leg of the best course itself. Once the ship has had
// its passes it sits still until it is lost, and the pilot's name goes in at the prompt.
//   long_game --folder DIR [--seed S]
// Writes DIR/long-game-RULES-S.keys and DIR/long-game-RULES-S.frames, RULES being the rules
// version, unless they are there already, and prints seed=, frames= and keys= lines for
//   quelvane-replay --frames N --seed S --keys FILE --record FOLDER
// to make the recording. Run it under nice: it keeps at most two children at once.
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "game/core/ExitRequest.h"
#include "game/loop/Entry.h"
#include "game/loop/MainLoop.h"
#include "game/player/Ship.h"
#include "game/replay/RulesVersion.h"
#include "game/screens/Pass.h"
#include "game/screens/Screen.h"
#include "game/world/Alien.h"
#include "game/world/Assets.h"
#include "platform/Clock.h"
#include "platform/EventSource.h"
#include "platform/Platform.h"
#include "platform/VirtualKeys.h"

namespace {

using namespace quelvane;
namespace fs = std::filesystem;

// Ten minutes at the game's 15 ms pace: more than the 36,000 passes of ten minutes at 60 a second.
constexpr long long kPlayPasses = 40'000;
constexpr long long kStep = 30;     // passes between two decisions
constexpr long long kHorizon = 90;  // passes each course is played ahead: two legs
constexpr int kChildrenAtOnce = 2;
constexpr size_t kMoves = 9;  // still, or one of the eight directions
// The ship fires until this wave comes, and then only dodges its seven aliens: a busy field that
// stays within what the search can dodge for the rest of the ten minutes.
constexpr int32_t kQuietWave = 7;
// A still ship is lost well within this many passes; a run that is not is given up.
constexpr long long kEndPasses = 60'000;
constexpr const char* kName = "marathon";

enum Key { kLeft, kRight, kUp, kDown, kAttack, kKeys };
constexpr std::array<const char*, kKeys> kKeyNames = {"Left", "Right", "Up", "Down", "Ctrl"};

// Where the ship heads for one leg: -1, 0 or 1 on each axis.
struct Move {
    int dx = 0;
    int dy = 0;
};

// A course: its first leg for kStep passes, then its second to the horizon.
struct Course {
    Move first;
    Move then;
};

// What a child's course came to.
struct Outcome {
    long long unhitPasses = 0;  // kHorizon when the ship was never hit
    int32_t score = 0;
};

enum class Phase { Starting, Searching, Ending, Done, Failed };

struct Search {
    platform::ScriptedEvents events;
    long long passes = 0;
    long long playStart = -1;  // passes before the first pass of play
    long long nextDecision = 0;
    Phase phase = Phase::Starting;
    std::array<bool, kKeys> held{};
    Move heading;
    std::ostringstream keys;  // what the parent pressed, as a keys file
    long long lastFrame = 0;  // the run's length once the name is in
    // In a child: the course it plays, where it began and the shields it began with.
    bool child = false;
    int childPipe = -1;
    long long childStart = 0;
    int32_t childShields = 0;
    long long decisions = 0;
    long long children = 0;
};
Search search;

void press(uint32_t frame, Key key, bool down) {
    if (search.held[key] == down)
        return;
    search.held[key] = down;
    platform::Message message;
    message.kind = down ? platform::MessageKind::KeyDown : platform::MessageKind::KeyUp;
    message.key = *platform::virtualKeyFromName(kKeyNames[key]);
    search.events.add(frame, message);
    if (!search.child)
        search.keys << frame << (down ? " down " : " up ") << kKeyNames[key] << "\n";
}

// Holds the keys of a move from frame on, the attack key too while the ship still fires.
void steer(uint32_t frame, const Move& move, bool fire) {
    const std::array<bool, kKeys> want = {move.dx<0, move.dx> 0, move.dy<0, move.dy> 0, fire};
    for (int key = 0; key < kKeys; ++key)  // releases first, so that no key overrides another
        if (!want[key])
            press(frame, static_cast<Key>(key), false);
    for (int key = 0; key < kKeys; ++key)
        if (want[key])
            press(frame, static_cast<Key>(key), true);
}

bool firing() {
    return wave < kQuietWave;
}

// The courses to try, the one flown now first: each move held for both legs, then every turn.
std::vector<Course> courses() {
    std::vector<Move> moves = {search.heading};
    for (int dx = -1; dx <= 1; ++dx)
        for (int dy = -1; dy <= 1; ++dy)
            if (dx != search.heading.dx || dy != search.heading.dy)
                moves.push_back({dx, dy});
    std::vector<Course> all;
    all.reserve(kMoves * kMoves);
    for (const Move& move : moves)
        all.push_back({move, move});
    for (const Move& first : moves)
        for (const Move& then : moves)
            if (first.dx != then.dx || first.dy != then.dy)
                all.push_back({first, then});
    return all;
}

// In the child, from the pass that follows: flies the course and reports at its end.
void flyCourse(const Course& course, int pipe) {
    search.child = true;
    search.childPipe = pipe;
    search.childStart = search.passes;
    search.childShields = player.shields;
    const auto frame = static_cast<uint32_t>(search.passes);
    steer(frame, course.first, firing());
    steer(frame + kStep, course.then, firing());
}

void reportCourse() {
    const long long flown = search.passes - search.childStart;
    const bool hit = player.shields < search.childShields || player.exploding;
    if (!hit && flown < kHorizon)
        return;
    const Outcome outcome{hit ? flown : kHorizon, player.score};
    const ssize_t written = ::write(search.childPipe, &outcome, sizeof outcome);
    ::_exit(written == static_cast<ssize_t>(sizeof outcome) ? 0 : 1);
}

// Starts a child on a course; its pid and the pipe it answers on, or pid -1.
std::pair<pid_t, int> startChild(const Course& course) {
    int ends[2];
    if (::pipe(ends) != 0)
        return {-1, -1};
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(ends[0]);
        flyCourse(course, ends[1]);
        return {0, -1};
    }
    ::close(ends[1]);
    if (pid < 0)
        ::close(ends[0]);
    ++search.children;
    return {pid, ends[0]};
}

bool collect(std::pair<pid_t, int> child, Outcome& outcome) {
    const bool read = ::read(child.second, &outcome, sizeof outcome) == sizeof outcome;
    ::close(child.second);
    int status = 0;
    ::waitpid(child.first, &status, 0);
    return read && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

bool better(const Outcome& a, const Outcome& b) {
    if (a.unhitPasses != b.unhitPasses)
        return a.unhitPasses > b.unhitPasses;
    return a.score > b.score;
}

// Tries the courses, two children at a time, until one keeps the ship unhit (while the ship fires,
// the best scoring of the straight courses); false when a child failed. In a child, returns at
// once with search.child set.
bool chooseCourse(Course& chosen) {
    const std::vector<Course> all = courses();
    Outcome best{-1, 0};
    for (size_t next = 0; next < all.size();) {
        std::vector<std::pair<size_t, std::pair<pid_t, int>>> running;
        for (int k = 0; k < kChildrenAtOnce && next < all.size(); ++k, ++next) {
            const auto child = startChild(all[next]);
            if (child.first == 0)
                return true;
            if (child.first < 0)
                return false;
            running.push_back({next, child});
        }
        for (const auto& [index, child] : running) {
            Outcome outcome;
            if (!collect(child, outcome))
                return false;
            if (better(outcome, best)) {
                best = outcome;
                chosen = all[index];
            }
        }
        if (best.unhitPasses == kHorizon && (!firing() || next >= kMoves))
            break;
    }
    return true;
}

void decide() {
    Course chosen;
    if (!chooseCourse(chosen)) {
        std::fprintf(stderr, "long_game: a child of the search failed\n");
        search.phase = Phase::Failed;
        exitRequested = true;
        return;
    }
    if (search.child)
        return;
    if (++search.decisions % 200 == 0)
        std::fprintf(stderr, "long_game: %lld passes of play, wave %d, shields %d, score %d\n",
                     search.passes - search.playStart, wave, player.shields, player.score);
    search.heading = chosen.first;
    steer(static_cast<uint32_t>(search.passes), chosen.first, firing());
    search.nextDecision = search.passes + kStep;
}

// Attack once the game-over screen's half second has passed, then the name and Enter.
void enterName() {
    uint32_t frame = static_cast<uint32_t>(search.passes) + 40;
    const auto tap = [&](const char* key) {
        search.keys << frame << " down " << key << "\n" << frame + 1 << " up " << key << "\n";
        platform::Message message;
        message.key = *platform::virtualKeyFromName(key);
        message.kind = platform::MessageKind::KeyDown;
        search.events.add(frame, message);
        message.kind = platform::MessageKind::KeyUp;
        search.events.add(frame + 1, message);
    };
    tap("G");
    frame += 5;
    for (const char* c = kName; *c != 0; ++c, frame += 2)
        tap(std::string(1, static_cast<char>(*c - 'a' + 'A')).c_str());
    tap("Enter");
    search.lastFrame = frame + 15;
}

// After every pass: the search while the ship plays, then its end.
void searchPass() {
    if (search.playStart < 0 && currentScreen == Screen::Play) {
        search.playStart = search.passes - 1;
        search.phase = Phase::Searching;
    }
    if (search.phase == Phase::Searching && player.exploding) {
        std::fprintf(stderr, "long_game: the ship was lost after %lld passes of play\n",
                     search.passes - search.playStart);
        search.phase = Phase::Failed;
        exitRequested = true;
    } else if (search.phase == Phase::Searching &&
               search.passes - search.playStart >= kPlayPasses) {
        steer(static_cast<uint32_t>(search.passes), Move{}, false);
        search.phase = Phase::Ending;
    } else if (search.phase == Phase::Searching && search.passes >= search.nextDecision) {
        decide();
    } else if (search.phase == Phase::Ending && currentScreen == Screen::GameOver) {
        enterName();
        search.phase = Phase::Done;
    } else if (search.phase == Phase::Ending &&
               search.passes - search.playStart > kPlayPasses + kEndPasses) {
        std::fprintf(stderr, "long_game: the still ship was never lost\n");
        search.phase = Phase::Failed;
        exitRequested = true;
    } else if (search.phase == Phase::Done && search.passes >= search.lastFrame) {
        exitRequested = true;
    }
}

void afterPass() {
    if (exitRequested)
        return;
    ++search.passes;
    search.events.setFrame(static_cast<uint32_t>(search.passes));
    if (search.child)
        reportCourse();
    else
        searchPass();
}

// Forking copies one thread only: the game must run on one, as it does headless.
bool singleThreaded() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("Threads:", 0) == 0)
            return std::stoi(line.substr(8)) == 1;
    return false;
}

// Plays the game in folder, as quelvane-replay would there with the keys found.
bool play(const fs::path& folder, uint32_t seed) {
    fs::create_directories(folder);
    fs::remove(folder / "scores.dat");
    std::ofstream(folder / "MidiDevice.ini") << "Software Synthesizer";
    fs::current_path(folder);
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    setAssetFolder(fs::path(QUELVANE_REPLAY_TOOL).parent_path());
    platform::VirtualClock clock(0);
    platform::useClock(&clock);
    platform::useEventSource(&search.events);
    search.keys << "25 down G\n26 up G\n";
    platform::Message key;
    key.key = *platform::virtualKeyFromName("G");
    key.kind = platform::MessageKind::KeyDown;
    search.events.add(25, key);
    key.kind = platform::MessageKind::KeyUp;
    search.events.add(26, key);
    const platform::Subscription passes = passEnds().subscribe(afterPass);
    if (!startGame(seed, AudioSystem::Output::Offline))
        return false;
    if (!singleThreaded()) {
        std::fprintf(stderr, "long_game: the game runs more than one thread: cannot fork it\n");
        return false;
    }
    runMainLoop();
    endGame();
    platform::useEventSource(nullptr);
    platform::useClock(nullptr);
    return search.phase == Phase::Done;
}

}  // namespace

int main(int argc, char** argv) {
    // The synthesizer loads its instruments with OpenMP, whose pool of threads a fork leaves
    // behind; with one thread OpenMP starts none. Its setting is read as the program loads.
    if (const char* threads = std::getenv("OMP_NUM_THREADS");
        threads == nullptr || std::string(threads) != "1") {
        setenv("OMP_NUM_THREADS", "1", 1);
        ::execv("/proc/self/exe", argv);
        std::perror("long_game");
        return 1;
    }
    fs::path folder;
    uint32_t seed = 424242;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string option = argv[i];
        if (option == "--folder")
            folder = argv[i + 1];
        else if (option == "--seed")
            seed = static_cast<uint32_t>(std::stoul(argv[i + 1]));
    }
    if (folder.empty()) {
        std::fprintf(stderr, "usage: long_game --folder DIR [--seed S]\n");
        return 2;
    }
    folder = fs::absolute(folder);
    const std::string stem =
        "long-game-" + std::to_string(rulesVersion()) + "-" + std::to_string(seed);
    const fs::path keysFile = folder / (stem + ".keys");
    const fs::path framesFile = folder / (stem + ".frames");
    if (!fs::exists(framesFile)) {
        const auto start = std::chrono::steady_clock::now();
        if (!play(folder / "search", seed))
            return 1;
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        std::ofstream(keysFile) << search.keys.str();
        std::ofstream(framesFile) << search.lastFrame << "\n";
        std::fprintf(stderr,
                     "long_game: %lld passes of play found in %.0f s: %lld decisions, %lld "
                     "courses tried\n",
                     kPlayPasses, seconds, search.decisions, search.children);
    }
    std::ifstream frames(framesFile);
    long long lastFrame = 0;
    frames >> lastFrame;
    std::printf("seed=%u\nframes=%lld\nkeys=%s\n", seed, lastFrame, keysFile.c_str());
    return 0;
}
