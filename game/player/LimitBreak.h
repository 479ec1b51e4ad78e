#pragma once

#include <cstdint>

#include "game/core/WeaponMode.h"

namespace quelvane {

// What a LimitBreak does, fixed by the weapon in use when it starts.
enum LimitBreakKind : int32_t {
    CoverFire = 0,       // a carpet of bullets from below the screen
    SquadronS14 = 1,     // two rows of fighters with chained lasers
    SquadronS42 = 2,     // the same with linked lasers
    MissileBarrage = 3,  // volleys of homing rockets
};

LimitBreakKind limitBreakKindFor(WeaponMode weapon);
// The line a running LimitBreak shows in mid-screen, and where it starts.
const char* limitBreakMessage(LimitBreakKind kind);
int32_t limitBreakMessageX(LimitBreakKind kind);

inline constexpr int32_t kLimitBreakCharge = 18000;

// The time of the last volley, one for the whole run of the program: it starts with the first
// LimitBreak of the run and is not reset by a new game.
struct VolleyTimer {
    bool started = false;
    uint32_t tick = 0;
};
extern VolleyTimer volleyTimer;

}  // namespace quelvane
