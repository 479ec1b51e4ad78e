// The whole frame of play (erase, update, draw and Flip) on the real game: a wave of 20 with the
// repeater firing, and stress frames at wave 300 with every alien free to shoot, with homing
// missiles and combinations firing or a LimitBreak of each kind running. Run from the folder with
// the generated assets.
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "game/core/ExitRequest.h"
#include "game/gfx/Display.h"
#include "game/loop/Entry.h"
#include "game/loop/Frame.h"
#include "game/player/Ship.h"
#include "game/player/WeaponMode.h"
#include "game/world/Alien.h"
#include "game/world/AlienShot.h"
#include "game/world/Explosion.h"
#include "game/world/ObjectLists.h"
#include "platform/Clock.h"
#include "platform/EventSource.h"
#include "platform/Platform.h"
#include "support/ScriptedGame.h"

namespace quelvane {
namespace {

// The game is started once a run, as the real one is.
struct Game {
    Game() {
        if (!game.started())
            std::abort();
    }

    // A new game whose field holds `count` aliens already on screen.
    void newGame(int32_t count) {
        player.resetScore();
        player.reset(display, 310, 360);
        player.shields = 1 << 30;  // it must live through the whole run
        aliens.clear();
        clearAlienShots();
        clearExplosions();
        clearPickups();
        clearPlayerDestroyed();
        wave = count - 1;
        spawnWave(display);
        for (Alien& a : aliens)
            a.y = static_cast<float>(a.y + 300);
    }
    // Keeps the field full: a destroyed alien comes back, so every frame is as busy as the first.
    void refill(size_t count) {
        while (aliens.size() < count) {
            Alien& a = aliens.emplace_back();
            a.place(display, static_cast<int32_t>(aliens.size() * 7 % 598), 100);
        }
    }
    void frame() {
        runFrame();
        clock.advance(15);
    }

    ScriptedGame game{1, 1000};
    platform::VirtualClock& clock = game.clock;
};

Game& game() {
    static Game instance;
    return instance;
}

void BM_PlayFrameWave20Repeater(benchmark::State& state) {
    Game& g = game();
    g.newGame(20);
    player.setAttack(true);
    for (auto _ : state) {
        g.frame();
        g.refill(20);
    }
    player.setAttack(false);
}
BENCHMARK(BM_PlayFrameWave20Repeater)->Unit(benchmark::kMillisecond);

void BM_PlayFrameWave300MissilesAndCombinations(benchmark::State& state) {
    Game& g = game();
    g.newGame(300);
    player.hasLasers = player.hasMissiles = true;
    player.combinationOwned.fill(true);
    player.setAttack(true);
    int64_t frames = 0;
    for (auto _ : state) {
        // Both missile combinations in turn, with the repeater and with each laser mode.
        player.selectWeapon(frames / 60 % 2 ? RepeaterMissiles : LaserLinkedMissiles);
        for (Alien& a : aliens)
            a.lastShotTime = g.clock.ticks() - 2000;  // every alien may shoot in every frame
        g.frame();
        g.refill(300);
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
    const int32_t weapons[] = {PowerRepeater, LaserChained, LaserLinked, HomingMissiles};
    Game& g = game();
    g.newGame(300);
    player.hasLasers = player.hasMissiles = true;
    player.selectWeapon(weapons[state.range(0)]);
    player.setAttack(true);
    player.setLimitBreakButton(true);
    for (auto _ : state) {
        if (!player.limitBreakActive)
            player.grantLimitBreak();
        for (Alien& a : aliens)
            a.lastShotTime = g.clock.ticks() - 2000;
        g.frame();
        g.refill(300);
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
