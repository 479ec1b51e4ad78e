#include "game/replay/GameSnapshot.h"

#include <memory>
#include <optional>

#include "game/core/Random.h"
#include "game/gfx/StarField.h"
#include "game/player/LimitBreak.h"
#include "game/player/Ship.h"
#include "game/replay/ByteStream.h"
#include "game/world/Alien.h"
#include "game/world/AlienShot.h"
#include "game/world/Explosion.h"
#include "game/world/ItemDrop.h"
#include "game/world/ObjectLists.h"
#include "platform/Platform.h"

namespace quelvane {

namespace {

// Raised whenever what is saved changes, so that an older snapshot is refused, not misread.
constexpr uint8_t kSnapshotVersion = 2;
constexpr size_t kMaxListLength = 1 << 16;

void put(ByteWriter& w, const Rect& r) {
    for (const int32_t v : {r.left, r.top, r.right, r.bottom})
        w.le(static_cast<uint32_t>(v), 4);
}
void get(ByteReader& r, Rect& rect) {
    for (int32_t* v : {&rect.left, &rect.top, &rect.right, &rect.bottom})
        *v = static_cast<int32_t>(r.le(4));
}
void put(ByteWriter& w, int32_t v) {
    w.le(static_cast<uint32_t>(v), 4);
}
void get(ByteReader& r, int32_t& v) {
    v = static_cast<int32_t>(r.le(4));
}
void put(ByteWriter& w, bool v) {
    w.u8(v ? 1 : 0);
}
void get(ByteReader& r, bool& v) {
    v = r.u8() != 0;
}

void put(ByteWriter& w, const Explosion& e) {
    put(w, e.x);
    put(w, e.y);
    put(w, e.frame);
    put(w, e.source);
}
void get(ByteReader& r, Explosion& e) {
    get(r, e.x);
    get(r, e.y);
    get(r, e.frame);
    get(r, e.source);
}

// The ship's own state; its projectiles and squadrons are empty whenever a snapshot is taken.
void putShip(ByteWriter& w, const Ship& s) {
    for (const bool b :
         {s.leftHeld, s.rightHeld, s.upHeld, s.downHeld, s.leftSuspended, s.rightSuspended,
          s.upSuspended, s.downSuspended, s.attackHeld, s.limitBreakHeld, s.limitBreakReady,
          s.limitBreakActive, s.exploding, s.hasLasers, s.hasMissiles})
        put(w, b);
    for (const bool b : s.combinationOwned)
        put(w, b);
    put(w, s.field);
    put(w, s.eraseRect);
    put(w, s.barRect);
    w.le(s.barColour, 4);
    for (const int32_t v :
         {s.x, s.y, s.speed, static_cast<int32_t>(s.weapon), static_cast<int32_t>(s.previousWeapon),
          s.shields, s.score, s.limitBreakMeter, int32_t{s.laserSide}, s.limitBreakStep,
          static_cast<int32_t>(s.limitBreakKind)})
        put(w, v);
    for (const uint32_t t : {s.lastRepeaterShot, s.lastLaserShot, s.lastMissileShot})
        w.le(t, 4);
    put(w, s.deathExplosion);
}

void getShip(ByteReader& r, Ship& s) {
    for (bool* b :
         {&s.leftHeld, &s.rightHeld, &s.upHeld, &s.downHeld, &s.leftSuspended, &s.rightSuspended,
          &s.upSuspended, &s.downSuspended, &s.attackHeld, &s.limitBreakHeld, &s.limitBreakReady,
          &s.limitBreakActive, &s.exploding, &s.hasLasers, &s.hasMissiles})
        get(r, *b);
    for (bool& b : s.combinationOwned)
        get(r, b);
    get(r, s.field);
    get(r, s.eraseRect);
    get(r, s.barRect);
    s.barColour = static_cast<uint32_t>(r.le(4));
    int32_t weapon = 0, previous = 0, laserSide = 0, kind = 0;
    for (int32_t* v : {&s.x, &s.y, &s.speed, &weapon, &previous, &s.shields, &s.score,
                       &s.limitBreakMeter, &laserSide, &s.limitBreakStep, &kind})
        get(r, *v);
    s.weapon = static_cast<WeaponMode>(weapon);
    s.previousWeapon = static_cast<WeaponMode>(previous);
    s.laserSide = static_cast<int16_t>(laserSide);
    s.limitBreakKind = static_cast<LimitBreakKind>(kind);
    for (uint32_t* t : {&s.lastRepeaterShot, &s.lastLaserShot, &s.lastMissileShot})
        *t = static_cast<uint32_t>(r.le(4));
    get(r, s.deathExplosion);
}

bool restoreFrom(const std::string& snapshot);

bool validWeapon(int32_t mode) {
    return mode >= PowerRepeater && mode <= LaserLinkedMissiles;
}

}  // namespace

std::string captureGame() {
    if (!pickups.empty() || !player.projectiles.empty() || !player.leftSquadron.empty() ||
        !player.rightSquadron.empty())
        return {};
    ByteWriter w;
    w.u8(kSnapshotVersion);
    w.le(randomState(), 4);
    w.varint(starField.size());
    for (const Star& star : starField) {
        w.f32(star.x);
        w.f32(star.y);
        w.f32(star.speed);
        w.le(star.pixel, 4);
    }
    w.varint(aliens.size());
    for (const Alien& a : aliens) {
        w.f32(a.x);
        w.f32(a.y);
        for (const int32_t v : {a.targetX, a.targetY, a.hitPoints})
            put(w, v);
        w.le(a.lastShotTime, 4);
    }
    put(w, wave);
    w.varint(alienShots.size());
    for (const auto& shot : alienShots) {
        for (const float v : {shot->x, shot->y, shot->dx, shot->dy})
            w.f32(v);
    }
    put(w, playerDestroyed);
    w.varint(explosions.size());
    for (const auto& e : explosions)
        put(w, *e);
    for (const bool b : weaponCollected)
        put(w, b);
    putShip(w, player);
    for (const bool b : numberKeyHeld)
        put(w, b);
    put(w, volleyTimer.started);
    w.le(volleyTimer.tick, 4);
    const platform::InputState input = platform::inputState();
    w.varint(input.keys.size());
    for (const platform::KeyState::Key& key : input.keys) {
        put(w, key.down);
        put(w, key.pressedSinceQuery);
    }
    w.varint(input.queue.size());
    for (const platform::Message& m : input.queue) {
        w.u8(static_cast<uint8_t>(m.kind));
        put(w, m.key);
        put(w, m.repeat);
        put(w, m.x);
        put(w, m.y);
        put(w, m.typed);
    }
    return {w.out.begin(), w.out.end()};
}

bool restoreGame(const std::string& snapshot) {
    // Making aliens draws from the generator: a refused snapshot puts it back where it was.
    const uint32_t generator = randomState();
    if (!restoreFrom(snapshot)) {
        seedRandom(generator);
        return false;
    }
    return true;
}

namespace {

// The star field as it moved: the stars themselves are made at start-up, so each read star is a
// copy of the first one moved to its place.
std::vector<Star> getStars(ByteReader& r) {
    std::vector<Star> stars;
    const uint64_t count = r.varint(kMaxListLength);
    for (uint64_t i = 0; i < count && !r.failed(); ++i) {
        Star star = starField.front();
        star.x = r.f32();
        star.y = r.f32();
        star.speed = r.f32();
        star.pixel = static_cast<uint32_t>(r.le(4));
        stars.push_back(star);
    }
    return stars;
}

std::vector<Alien> getAliens(ByteReader& r) {
    std::vector<Alien> read;
    const uint64_t count = r.varint(kMaxListLength);
    for (uint64_t i = 0; i < count && !r.failed(); ++i) {
        Alien& a = read.emplace_back();
        a.x = r.f32();
        a.y = r.f32();
        for (int32_t* v : {&a.targetX, &a.targetY, &a.hitPoints})
            get(r, *v);
        a.lastShotTime = static_cast<uint32_t>(r.le(4));
    }
    return read;
}

OwningList<AlienShot> getShots(ByteReader& r) {
    OwningList<AlienShot> shots;
    const uint64_t count = r.varint(kMaxListLength);
    for (uint64_t i = 0; i < count && !r.failed(); ++i) {
        const float x = r.f32(), y = r.f32(), dx = r.f32(), dy = r.f32();
        shots.push_back(std::make_unique<AlienShot>(x, y, dx, dy));
    }
    return shots;
}

OwningList<Explosion> getExplosions(ByteReader& r) {
    OwningList<Explosion> blasts;
    const uint64_t count = r.varint(kMaxListLength);
    for (uint64_t i = 0; i < count && !r.failed(); ++i)
        get(r, *blasts.emplace_back(std::make_unique<Explosion>()));
    return blasts;
}

// The keys' states and the messages waiting; false when the snapshot has another count of keys.
bool getInput(ByteReader& r, platform::InputState& input) {
    const bool allKeys = r.varint(kMaxListLength) == input.keys.size();
    for (platform::KeyState::Key& key : input.keys) {
        get(r, key.down);
        get(r, key.pressedSinceQuery);
    }
    const uint64_t queued = r.varint(kMaxListLength);
    for (uint64_t i = 0; i < queued && !r.failed(); ++i) {
        platform::Message& m = input.queue.emplace_back();
        const uint8_t kind = r.u8();
        m.kind = static_cast<platform::MessageKind>(
            kind <= static_cast<uint8_t>(platform::MessageKind::Paint) ? kind : 0);
        get(r, m.key);
        get(r, m.repeat);
        get(r, m.x);
        get(r, m.y);
        get(r, m.typed);
    }
    return allKeys;
}

bool restoreFrom(const std::string& snapshot) {
    ByteReader r(reinterpret_cast<const uint8_t*>(snapshot.data()), snapshot.size());
    if (r.u8() != kSnapshotVersion)
        return false;
    const auto seed = static_cast<uint32_t>(r.le(4));

    // The stars are made at start-up; a snapshot only moves them.
    if (starField.empty())
        return false;
    std::vector<Star> stars = getStars(r);
    std::vector<Alien> fieldAliens = getAliens(r);
    int32_t waveNow = 0;
    get(r, waveNow);
    OwningList<AlienShot> shots = getShots(r);
    bool destroyed = false;
    get(r, destroyed);
    OwningList<Explosion> blasts = getExplosions(r);
    std::array<bool, 2> collected{};
    for (bool& b : collected)
        get(r, b);
    // Into a ship of its own first, so that a damaged snapshot leaves `player` alone.
    Ship ship(false);
    getShip(r, ship);
    std::array<bool, 4> heldKeys{};
    for (bool& b : heldKeys)
        get(r, b);
    VolleyTimer volley;
    get(r, volley.started);
    volley.tick = static_cast<uint32_t>(r.le(4));
    platform::InputState input;
    const bool allKeys = getInput(r, input);
    if (r.failed() || !r.atEnd() || stars.size() != starField.size() || !validWeapon(ship.weapon) ||
        !validWeapon(ship.previousWeapon) || ship.limitBreakKind < CoverFire ||
        ship.limitBreakKind > MissileBarrage || !allKeys)
        return false;

    seedRandom(seed);
    starField = std::move(stars);
    aliens = std::move(fieldAliens);
    wave = waveNow;
    alienShots = std::move(shots);
    playerDestroyed = destroyed;
    explosions = std::move(blasts);
    clearPickups();
    weaponCollected = collected;
    numberKeyHeld = heldKeys;
    volleyTimer = volley;
    platform::restoreInputState(input);
    ByteWriter shipState;
    putShip(shipState, ship);
    ByteReader again(shipState.out.data(), shipState.out.size());
    getShip(again, player);
    return true;
}

}  // namespace

}  // namespace quelvane
