#include "game/replay/GameSnapshot.h"

#include <memory>

#include "game/core/Random.h"
#include "game/gfx/StarField.h"
#include "game/player/LimitBreak.h"
#include "game/player/Ship.h"
#include "game/replay/GameStart.h"
#include "game/replay/SnapshotArchive.h"
#include "game/world/Alien.h"
#include "game/world/AlienShot.h"
#include "game/world/ItemDrop.h"
#include "game/world/ObjectLists.h"
#include "platform/Platform.h"

namespace quelvane {

namespace {

// The running game under the names of a GameStart, for the description of the fields to write.
struct RunningGame {
    uint32_t generator = randomState();
    std::vector<Star>& stars = starField;
    uint64_t aliens = quelvane::aliens.size();
    int32_t& wave = quelvane::wave;
    uint64_t alienShots = quelvane::alienShots.size();
    bool& playerDestroyed = quelvane::playerDestroyed;
    uint64_t explosions = quelvane::explosions.size();
    std::array<bool, 2>& weaponCollected = quelvane::weaponCollected;
    Ship& ship = player;
    std::array<bool, 4>& numberKeyHeld = quelvane::numberKeyHeld;
    VolleyTimer& volleyTimer = quelvane::volleyTimer;
    platform::InputState input = platform::inputState();
};

// The snapshot read into start; the reason when it cannot be, or cannot begin a game.
std::string readSnapshot(const std::string& snapshot, GameStart& start) {
    SnapshotReader r(snapshot);
    if (r.reason().empty())
        visitGame(r, start);
    r.finish();
    if (!r.reason().empty())
        return r.reason();
    if (std::string notNew = checkNewGame(start); !notNew.empty())
        return "not a new game: " + notNew;
    return {};
}

// The ship's fields into `player`, through the same description, so that none is left out.
void copyShip(Ship& from, Ship& to) {
    SnapshotWriter w;
    visitShip(w, from);
    const std::string bytes(w.out.out.begin(), w.out.out.end());
    SnapshotReader r(bytes, kSnapshotVersion);
    visitShip(r, to);
    to.clearProjectiles();
    to.leftSquadron.clear();
    to.rightSquadron.clear();
}

}  // namespace

std::string captureGame() {
    // None of these is kept: a game begins without them.
    if (!pickups.empty() || !player.projectiles.empty() || !player.leftSquadron.empty() ||
        !player.rightSquadron.empty() || !aliens.empty() || !alienShots.empty() ||
        !explosions.empty())
        return {};
    RunningGame game;
    SnapshotWriter w;
    w.out.u8(kSnapshotVersion);
    visitGame(w, game);
    std::string snapshot(w.out.out.begin(), w.out.out.end());
    return checkSnapshot(snapshot).empty() ? snapshot : std::string();
}

std::string checkSnapshot(const std::string& snapshot) {
    const auto start = std::make_unique<GameStart>();
    return readSnapshot(snapshot, *start);
}

bool restoreGame(const std::string& snapshot) {
    // The stars are made at start-up; a snapshot only moves them.
    const auto start = std::make_unique<GameStart>();
    if (starField.size() != kStarCount || !readSnapshot(snapshot, *start).empty())
        return false;
    seedRandom(start->generator);
    starField = std::move(start->stars);
    aliens.clear();
    wave = start->wave;
    alienShots.clear();
    playerDestroyed = start->playerDestroyed;
    explosions.clear();
    clearPickups();
    weaponCollected = start->weaponCollected;
    copyShip(start->ship, player);
    numberKeyHeld = start->numberKeyHeld;
    volleyTimer = start->volleyTimer;
    platform::restoreInputState(start->input);
    return true;
}

}  // namespace quelvane
