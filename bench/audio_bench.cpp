// The audio system's cost while music plays: the mixer and the synthesizer rendering one device
// period after another, with sound effects firing, and the process's resident memory once the
// SoundFont is loaded.
#include <benchmark/benchmark.h>

#include <time.h>

#include <fstream>
#include <string>

#include "audio/AudioSystem.h"
#include "support/AudioFiles.h"
#include "support/TempDir.h"

using namespace audiofiles;

namespace {

constexpr uint32_t kPeriod = 512;

// Resident memory of this process in MB, from /proc.
double residentMegabytes() {
    std::ifstream status("/proc/self/status");
    std::string key;
    while (status >> key) {
        if (key == "VmRSS:") {
            double kb = 0;
            status >> kb;
            return kb / 1024.0;
        }
        status.ignore(1 << 12, '\n');
    }
    return 0;
}

double threadCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + t.tv_nsec / 1e9;
}

// Two seconds of game-like music: a four-note string chord, a bass line, a melody and drums,
// about a dozen voices at a time.
Bytes busyPiece() {
    std::vector<TrackEvent> events = {{0, {0xC0, 48}}, {0, {0xC1, 33}}, {0, {0xC2, 80}}};
    for (int bar = 0; bar < 2; ++bar) {
        const uint8_t root = bar == 0 ? 48 : 53;
        for (uint8_t n : {0, 4, 7, 12}) {
            events.push_back({0, {0x90, static_cast<uint8_t>(root + n), 80}});
        }
        for (int beat = 0; beat < 4; ++beat) {
            events.push_back({0, {0x91, static_cast<uint8_t>(root - 12), 100}});
            events.push_back({0, {0x92, static_cast<uint8_t>(root + 24 + 2 * beat), 90}});
            events.push_back({0, {0x99, static_cast<uint8_t>(beat % 2 ? 38 : 36), 110}});
            events.push_back({0, {0x99, 42, 80}});
            events.push_back({48, {0x81, static_cast<uint8_t>(root - 12), 0}});
            events.push_back({0, {0x82, static_cast<uint8_t>(root + 24 + 2 * beat), 0}});
        }
        for (uint8_t n : {0, 4, 7, 12}) {
            events.push_back({0, {0x80, static_cast<uint8_t>(root + n), 0}});
        }
    }
    return smf(0, 96, {track(events)});
}

void BM_MusicAndEffects(benchmark::State& state) {
    TempDir dir;
    AudioSystem audio{AudioSystem::Options{AudioSystem::Output::Offline}};
    if (!audio.InitMusic(nullptr, 2, nullptr)) {
        state.SkipWithError("no SoundFont");
        return;
    }
    auto music = audio.LoadMidi(dir.write("busy.mid", busyPiece()).c_str());
    std::vector<int16_t> blip(2 * 9600);
    for (std::size_t i = 0; i < blip.size(); ++i) {
        blip[i] = static_cast<int16_t>((i / 40) % 2 ? 6000 : -6000);
    }
    std::vector<std::unique_ptr<SoundBuffer>> sounds;
    for (const char* name : {"a.wav", "b.wav", "c.wav"}) {
        sounds.push_back(audio.LoadWav(dir.write(name, stereoWav(blip)).c_str(), 2));
    }
    audio.PlayMusic(music.get());
    std::vector<int16_t> out(2 * kPeriod);
    uint64_t periods = 0;
    const double cpuStart = threadCpuSeconds();
    for (auto _ : state) {
        // An effect every 10 periods, about nine a second, as in a busy fight.
        if (periods % 10 == 0) {
            playEffect(sounds[(periods / 10) % sounds.size()].get());
        }
        audio.Render(out.data(), kPeriod);
        benchmark::DoNotOptimize(out.data());
        ++periods;
    }
    const double audioSeconds = static_cast<double>(periods) * kPeriod / audio.SampleRate();
    // CPU time over the audio's own duration, as a percentage of one core.
    state.counters["core_percent"] = 100.0 * (threadCpuSeconds() - cpuStart) / audioSeconds;
    state.counters["rss_mb"] = residentMegabytes();
}
BENCHMARK(BM_MusicAndEffects)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
