#include "game/replay/TraceState.h"

#include "game/core/ExitRequest.h"
#include "game/player/Ship.h"
#include "game/world/Alien.h"
#include "game/world/AlienShot.h"
#include "game/world/ObjectLists.h"

namespace quelvane {

TraceState traceState(long long frames, Screen screen, uint32_t tick) {
    auto n = [](long long v) { return std::to_string(v); };
    return {
        {"frames", n(frames)},
        {"tick", n(tick)},
        {"aliens", n(static_cast<long long>(aliens.size()))},
        {"pickups", n(static_cast<long long>(pickups.size()))},
        {"exit", n(exitRequested ? 1 : 0)},
        {"score", n(player.score)},
        {"wave", n(wave)},
        {"shields", n(player.shields)},
        {"weapon", n(player.weapon)},
        {"ship_x", n(player.x)},
        {"ship_y", n(player.y)},
        {"exploding", n(player.exploding ? 1 : 0)},
        {"destroyed", n(playerDestroyed ? 1 : 0)},
        {"projectiles", n(static_cast<long long>(player.projectiles.size()))},
        {"alien_shots", n(static_cast<long long>(alienShots.size()))},
        {"explosions", n(static_cast<long long>(explosions.size()))},
        {"limit_meter", n(player.limitBreakMeter)},
        {"limit_ready", n(player.limitBreakReady ? 1 : 0)},
        {"limit_active", n(player.limitBreakActive ? 1 : 0)},
        {"limit_kind", n(player.limitBreakKind)},
        {"limit_step", n(player.limitBreakStep)},
        {"owned_weapons", n(player.ownedWeapons())},
        {"owned_combinations", n(player.ownedCombinations())},
        {"fighters", n(static_cast<long long>(player.leftSquadron.size()) +
                       static_cast<long long>(player.rightSquadron.size()))},
        {"screen", screenName(screen)},
    };
}

void writeTraceRow(std::ostream& out, const TraceState& state, bool header) {
    for (size_t i = 0; i < state.size(); ++i)
        out << (i ? "\t" : "") << (header ? state[i].first : state[i].second);
    out << '\n';
}

}  // namespace quelvane
