#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "game/gfx/Rect.h"
#include "game/gfx/Star.h"
#include "game/gfx/StarField.h"
#include "game/player/LimitBreak.h"
#include "game/player/Ship.h"
#include "game/world/Explosion.h"
#include "platform/Platform.h"

namespace quelvane {

// The state a game begins in, as a saved game holds it: what the last game left behind (the
// generator, the stars, the volley timer, the held number keys, the previous weapon, whether its
// ship was destroyed), the ship and the field as a new game sets them, and the keys and messages
// the platform holds for the game. Aliens, alien shots and explosions are counted only: a new game
// has none (the ship's destruction takes every alien shot, and every explosion ends before the
// ship's own does).
struct GameStart {
    uint32_t generator = 0;
    std::vector<Star> stars;
    uint64_t aliens = 0;
    int32_t wave = 0;
    uint64_t alienShots = 0;
    bool playerDestroyed = false;
    uint64_t explosions = 0;
    std::array<bool, 2> weaponCollected{};
    Ship ship{false};
    std::array<bool, 4> numberKeyHeld{};
    VolleyTimer volleyTimer;
    platform::InputState input;
};

// Messages the platform can hold at once: SDL's own queue keeps no more.
inline constexpr uint64_t kMaxWaitingMessages = 65535;

template <class Archive, class Box>
void visitRect(Archive& a, Box& r) {
    a.number(r.left);
    a.number(r.top);
    a.number(r.right);
    a.number(r.bottom);
}

template <class Archive, class Blast>
void visitExplosion(Archive& a, Blast& e) {
    a.number(e.x);
    a.number(e.y);
    a.number(e.frame);
    visitRect(a, e.source);
}

// The ship's own state; its shots and squadrons are empty when a game begins.
template <class Archive, class Craft>
void visitShip(Archive& a, Craft& s) {
    for (bool* b :
         {&s.leftHeld, &s.rightHeld, &s.upHeld, &s.downHeld, &s.leftSuspended, &s.rightSuspended,
          &s.upSuspended, &s.downSuspended, &s.attackHeld, &s.limitBreakHeld, &s.limitBreakReady,
          &s.limitBreakActive, &s.exploding, &s.hasLasers, &s.hasMissiles})
        a.flag(*b);
    for (bool& b : s.combinationOwned)
        a.flag(b);
    visitRect(a, s.field);
    visitRect(a, s.eraseRect);
    visitRect(a, s.barRect);
    a.u32(s.barColour);
    for (int32_t* v : {&s.x, &s.y, &s.speed})
        a.number(*v);
    a.number(s.weapon);
    a.number(s.previousWeapon);
    for (int32_t* v : {&s.shields, &s.score, &s.limitBreakMeter})
        a.number(*v);
    a.number(s.laserSide);
    a.number(s.limitBreakStep);
    a.number(s.limitBreakKind);
    for (uint32_t* t : {&s.lastRepeaterShot, &s.lastLaserShot, &s.lastMissileShot})
        a.u32(*t);
    visitExplosion(a, s.deathExplosion);
}

template <class Archive>
void visitInput(Archive& a, platform::InputState& input) {
    a.fixed(input.keys, "keys", [](Archive& k, platform::KeyState::Key& key) {
        k.flag(key.down);
        k.flag(key.pressedSinceQuery);
    });
    a.items(input.queue, kMaxWaitingMessages, "waiting messages",
            [](Archive& m, platform::Message& message) { m.message(message); });
}

// Every field of a saved game, in the order it is kept: the one description that both writes and
// reads it. State is a GameStart, or a view of the running game with the same names.
template <class Archive, class State>
void visitGame(Archive& a, State& s) {
    a.u32(s.generator);
    a.items(s.stars, kStarCount, "stars", [](Archive& st, Star& star) {
        st.f32(star.x);
        st.f32(star.y);
        st.f32(star.speed);
        st.u32(star.pixel);
    });
    a.none(s.aliens, "aliens");
    a.number(s.wave);
    a.none(s.alienShots, "alien shots");
    a.flag(s.playerDestroyed);
    a.none(s.explosions, "explosions");
    for (bool& b : s.weaponCollected)
        a.flag(b);
    visitShip(a, s.ship);
    for (bool& b : s.numberKeyHeld)
        a.flag(b);
    a.flag(s.volleyTimer.started);
    a.u32(s.volleyTimer.tick);
    visitInput(a, s.input);
}

// Why a game cannot begin in this state, which a saved game was read into: what a new game sets
// differs, or what carries over from the last game is beyond what the game can leave. Empty when
// it can.
std::string checkNewGame(const GameStart& start);

}  // namespace quelvane
