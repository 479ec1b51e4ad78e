// The whole frame of play (erase, update, draw and Flip) on the real game: a wave of 20 with the
// repeater firing, and stress frames at wave 300 with every alien free to shoot, with homing
// missiles and combinations firing or a LimitBreak of each kind running. The ship lives through
// every run, and a frame that opens a screen ends the run loudly instead of waiting in it.
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "game/core/WeaponMode.h"
#include "game/player/Ship.h"
#include "game/replay/GameRecorder.h"
#include "game/world/AlienShot.h"
#include "support/BusyField.h"
#include "support/ScriptedGame.h"
#include "support/TempDir.h"

namespace quelvane {
namespace {

// The game is started once a run, as the real one is.
ScriptedGame& game() {
    static ScriptedGame instance(1, 1000);
    if (!instance.started())
        std::abort();
    return instance;
}

void BM_PlayFrameWave20Repeater(benchmark::State& state) {
    BusyField field(game(), 20);
    player.setAttack(true);
    for (auto _ : state)
        field.frame(false);
    player.setAttack(false);
}
BENCHMARK(BM_PlayFrameWave20Repeater)->Unit(benchmark::kMillisecond);

// The same frame while the game is recorded, as every game the player plays is: what the recorder
// costs is the difference between the two. It keeps what the frame takes at the seam; the busy
// field's frames are no passes of a loop, so it counts none (a pass costs it one tick count).
void BM_PlayFrameWave20RepeaterRecorded(benchmark::State& state) {
    BusyField field(game(), 20);
    const TempDir folder;
    GameRecorder recorder(folder.path());
    recorder.begin();
    player.setAttack(true);
    for (auto _ : state)
        field.frame(false);
    player.setAttack(false);
    state.counters["ticks_read"] = static_cast<double>(recorder.current()->ticks.size());
    state.counters["pumps"] = static_cast<double>(recorder.current()->pumps);
}
BENCHMARK(BM_PlayFrameWave20RepeaterRecorded)->Unit(benchmark::kMillisecond);

void BM_PlayFrameWave300MissilesAndCombinations(benchmark::State& state) {
    BusyField field(game(), 300);
    player.hasLasers = player.hasMissiles = true;
    player.combinationOwned.fill(true);
    player.setAttack(true);
    int64_t frames = 0;
    for (auto _ : state) {
        // Both missile combinations in turn, with the repeater and with each laser mode.
        player.selectWeapon(frames / 60 % 2 ? RepeaterMissiles : LaserLinkedMissiles);
        field.frame(true);
        ++frames;
    }
    state.counters["alien_shots"] = static_cast<double>(alienShots.size());
    state.counters["projectiles"] = static_cast<double>(player.projectiles.size());
    player.setAttack(false);
}
BENCHMARK(BM_PlayFrameWave300MissilesAndCombinations)->Unit(benchmark::kMillisecond);

// The stress frame with a LimitBreak of one kind running all the time: the weapon that gives the
// kind, and a new LimitBreak granted and held whenever one ends.
void BM_PlayFrameWave300LimitBreak(benchmark::State& state) {
    const WeaponMode weapons[] = {PowerRepeater, LaserChained, LaserLinked, HomingMissiles};
    BusyField field(game(), 300);
    player.hasLasers = player.hasMissiles = true;
    player.selectWeapon(weapons[state.range(0)]);
    player.setAttack(true);
    player.setLimitBreakButton(true);
    for (auto _ : state) {
        if (!player.limitBreakActive)
            player.grantLimitBreak();
        field.frame(true);
    }
    state.counters["fighters"] =
        static_cast<double>(player.leftSquadron.size() + player.rightSquadron.size());
    player.setAttack(false);
    player.setLimitBreakButton(false);
}
BENCHMARK(BM_PlayFrameWave300LimitBreak)
    ->ArgName("kind")
    ->DenseRange(0, 3)
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace quelvane

BENCHMARK_MAIN();
