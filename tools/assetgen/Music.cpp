#include "tools/assetgen/Music.h"

#include <cmath>
#include <cstdlib>
#include <string>

#include "tools/assetgen/Noise.h"

namespace assetgen {

namespace {

constexpr int kDivision = 480;
constexpr int kDrums = 9;  // channel 10

// General MIDI drum keys.
constexpr int kKick = 36, kSideStick = 37, kSnare = 38, kClosedHat = 42, kOpenHat = 46,
              kLowTom = 45, kMidTom = 47, kHighTom = 50, kCrash = 49, kRide = 51, kShaker = 70;

uint32_t at(int bar, float beat) {
    return static_cast<uint32_t>(static_cast<long>(bar) * 4 * kDivision +
                                 std::lround(beat * kDivision));
}

uint32_t ticks(float beats) {
    return static_cast<uint32_t>(std::lround(beats * kDivision));
}

// "A4", "C#5", "Bb2": MIDI key numbers with C4 = 60.
int pitch(const char* name) {
    static const int offsets[7] = {9, 11, 0, 2, 4, 5, 7};  // A B C D E F G
    int key = offsets[name[0] - 'A'];
    const char* rest = name + 1;
    if (*rest == '#') {
        ++key;
        ++rest;
    } else if (*rest == 'b') {
        --key;
        ++rest;
    }
    return key + 12 * (std::atoi(rest) + 1);
}

struct Note {
    const char* name;
    float beat;
    float length;
};
using Bar = std::vector<Note>;

struct Chord {
    const char* bass;
    std::vector<const char*> voicing;
};

// Velocities breathe: a swell over each phrase, accents on the beat, and a little human unevenness.
class Dynamics {
  public:
    Dynamics(uint32_t seed, int phraseBars) : jitter(seed), phrase(phraseBars) {}
    int velocity(int base, int bar, float beat, int accent = 6) {
        float position =
            (static_cast<float>(bar % phrase) + beat / 4.0f) / static_cast<float>(phrase);
        float swell = 8.0f * std::sin(3.14159265f * position);
        float onBeat = beat == std::floor(beat) ? (beat == 0.0f ? 1.0f : 0.5f) : 0.0f;
        return static_cast<int>(std::lround(static_cast<float>(base) + swell +
                                            onBeat * static_cast<float>(accent) +
                                            jitter.range(-4.0f, 4.0f)));
    }

  private:
    Noise jitter;
    int phrase;
};

MidiTrack part(const std::string& name, int channel, int program, int volume, int pan, int reverb) {
    MidiTrack track;
    track.name(name);
    track.program(channel, program);
    track.controller(channel, 7, volume);
    track.controller(channel, 10, pan);
    track.controller(channel, 91, reverb);
    return track;
}

MidiTrack conductor(const std::string& title, int beatsPerMinute, uint32_t end) {
    MidiTrack track;
    track.name(title);
    track.tempo(static_cast<uint32_t>(60000000 / beatsPerMinute));
    track.timeSignature(4, 2);
    track.end(end);
    return track;
}

void playMelody(MidiTrack& track, int channel, const std::vector<Bar>& bars, int firstBar,
                int transpose, int base, Dynamics& dynamics) {
    for (size_t i = 0; i < bars.size(); ++i) {
        int bar = firstBar + static_cast<int>(i);
        for (const Note& n : bars[i]) {
            // Slightly detached so repeated notes speak; higher notes lean a little louder.
            int key = pitch(n.name) + transpose;
            int lift = (key - 72) / 3;
            track.note(channel, key, dynamics.velocity(base + lift, bar, n.beat), at(bar, n.beat),
                       ticks(n.length) - 20);
        }
    }
}

// --- Title theme -------------------------------------------------------------------------------

const std::vector<Chord>& titleChords() {
    static const std::vector<Chord> chords = {
        {"A2", {"A3", "C4", "E4"}},  {"F2", {"A3", "C4", "F4"}},  {"C3", {"G3", "C4", "E4"}},
        {"G2", {"G3", "B3", "D4"}},  {"A2", {"A3", "C4", "E4"}},  {"F2", {"A3", "C4", "F4"}},
        {"G2", {"G3", "B3", "D4"}},  {"E2", {"G#3", "B3", "E4"}}, {"F2", {"A3", "C4", "F4"}},
        {"G2", {"G3", "B3", "D4"}},  {"E2", {"G3", "B3", "E4"}},  {"A2", {"A3", "C4", "E4"}},
        {"D2", {"A3", "D4", "F4"}},  {"G2", {"G3", "B3", "D4"}},  {"E2", {"A3", "B3", "E4"}},
        {"E2", {"G#3", "B3", "E4"}},
    };
    return chords;
}

const std::vector<Bar>& titleMelody() {
    static const std::vector<Bar> melody = {
        {{"A4", 0, 1}, {"C5", 1, 1}, {"E5", 2, 2}},
        {{"F5", 0, 1.5}, {"E5", 1.5, 0.5}, {"C5", 2, 2}},
        {{"G4", 0, 1}, {"C5", 1, 1}, {"E5", 2, 1}, {"G5", 3, 1}},
        {{"F5", 0, 1.5}, {"E5", 1.5, 0.5}, {"D5", 2, 2}},
        {{"A4", 0, 1}, {"C5", 1, 1}, {"E5", 2, 1.5}, {"A5", 3.5, 0.5}},
        {{"G5", 0, 1}, {"F5", 1, 1}, {"E5", 2, 1}, {"C5", 3, 1}},
        {{"D5", 0, 1.5}, {"B4", 1.5, 0.5}, {"D5", 2, 1}, {"G5", 3, 1}},
        {{"G#5", 0, 2}, {"E5", 2, 1}, {"B4", 3, 1}},
        {{"A5", 0, 2}, {"G5", 2, 1}, {"F5", 3, 1}},
        {{"G5", 0, 2}, {"F5", 2, 1}, {"D5", 3, 1}},
        {{"E5", 0, 1.5}, {"D5", 1.5, 0.5}, {"E5", 2, 1}, {"G5", 3, 1}},
        {{"A5", 0, 3}, {"E5", 3, 1}},
        {{"F5", 0, 1.5}, {"E5", 1.5, 0.5}, {"D5", 2, 1}, {"A5", 3, 1}},
        {{"G5", 0, 1.5}, {"F5", 1.5, 0.5}, {"D5", 2, 1}, {"B4", 3, 1}},
        {{"A4", 0, 2}, {"B4", 2, 2}},
        {{"G#4", 0, 2}, {"B4", 2, 1}, {"E5", 3, 1}},
    };
    return melody;
}

// The calm title theme's parts sit higher on their channels' volumes than the battle's, so that
// the two pieces play at one loudness.
MidiTrack titleLead(uint32_t end) {
    MidiTrack track = part("Lead (flute)", 0, 73, 123, 64, 60);
    Dynamics dynamics(101, 4);
    playMelody(track, 0, titleMelody(), 0, 0, 78, dynamics);
    track.end(end);
    return track;
}

MidiTrack titleHarp(uint32_t end) {
    MidiTrack track = part("Arpeggio (harp)", 1, 46, 101, 40, 70);
    Dynamics dynamics(102, 8);
    const auto& chords = titleChords();
    // The harp joins after the first statement of the theme.
    for (int bar = 4; bar < static_cast<int>(chords.size()); ++bar) {
        const auto& v = chords[bar].voicing;
        int tones[5] = {pitch(v[0]) + 12, pitch(v[1]) + 12, pitch(v[2]) + 12, pitch(v[0]) + 24,
                        pitch(v[1]) + 24};
        static const int order[8] = {0, 1, 2, 3, 4, 3, 2, 1};
        for (int step = 0; step < 8; ++step) {
            float beat = 0.5f * static_cast<float>(step);
            track.note(1, tones[order[step]], dynamics.velocity(50, bar, beat, 10), at(bar, beat),
                       ticks(0.5f));
        }
    }
    track.end(end);
    return track;
}

MidiTrack titlePad(uint32_t end) {
    MidiTrack track = part("Pad (warm)", 2, 89, 96, 84, 90);
    track.controller(2, 93, 50);
    Dynamics dynamics(103, 4);
    const auto& chords = titleChords();
    for (int bar = 0; bar < static_cast<int>(chords.size()); ++bar) {
        for (const char* name : chords[bar].voicing) {
            track.note(2, pitch(name), dynamics.velocity(58, bar, 0, 0), at(bar, 0), ticks(4.0f));
        }
    }
    track.end(end);
    return track;
}

MidiTrack titleBass(uint32_t end) {
    MidiTrack track = part("Bass (fretless)", 3, 35, 123, 64, 30);
    Dynamics dynamics(104, 4);
    const auto& chords = titleChords();
    for (int bar = 0; bar < static_cast<int>(chords.size()); ++bar) {
        int root = pitch(chords[bar].bass);
        int fifth = root + 7;
        track.note(3, root, dynamics.velocity(84, bar, 0), at(bar, 0), ticks(1.5f) - 10);
        track.note(3, root, dynamics.velocity(66, bar, 1.5f), at(bar, 1.5f), ticks(0.5f) - 10);
        track.note(3, fifth, dynamics.velocity(74, bar, 2), at(bar, 2), ticks(1.0f) - 10);
        track.note(3, root + 12, dynamics.velocity(70, bar, 3), at(bar, 3), ticks(1.0f) - 10);
    }
    track.end(end);
    return track;
}

MidiTrack titleDrums(uint32_t end) {
    MidiTrack track = part("Drums", kDrums, 0, 113, 64, 50);
    Dynamics dynamics(105, 4);
    const int bars = static_cast<int>(titleChords().size());
    for (int bar = 0; bar < bars; ++bar) {
        bool full = bar >= 4;
        bool fill = bar == 7 || bar == bars - 1;
        for (int step = 0; step < 8; ++step) {
            float beat = 0.5f * static_cast<float>(step);
            if (!full) {
                // A soft shaker and ride pulse while the theme is first heard.
                track.note(kDrums, kShaker, dynamics.velocity(step % 2 == 0 ? 46 : 34, bar, beat),
                           at(bar, beat), ticks(0.25f));
                if (step % 2 == 0) {
                    track.note(kDrums, kRide, dynamics.velocity(40, bar, beat), at(bar, beat),
                               ticks(0.5f));
                }
                continue;
            }
            if (fill && step >= 5) {
                static const int toms[3] = {kHighTom, kMidTom, kLowTom};
                track.note(kDrums, toms[step - 5],
                           dynamics.velocity(64 + 6 * (step - 5), bar, beat), at(bar, beat),
                           ticks(0.5f));
                continue;
            }
            track.note(kDrums, kClosedHat, dynamics.velocity(step % 2 == 0 ? 58 : 42, bar, beat),
                       at(bar, beat), ticks(0.25f));
            if (step == 0 || step == 5) {
                track.note(kDrums, kKick, dynamics.velocity(80, bar, beat), at(bar, beat),
                           ticks(0.5f));
            }
            if (step == 2 || step == 6) {
                track.note(kDrums, kSideStick, dynamics.velocity(62, bar, beat), at(bar, beat),
                           ticks(0.5f));
            }
        }
        if (bar == 8) {
            track.note(kDrums, kCrash, 70, at(bar, 0), ticks(2.0f));
        }
    }
    track.end(end);
    return track;
}

// --- Battle theme ------------------------------------------------------------------------------

enum Section { kIntro, kVerse, kChorus, kBreak, kOutro };

struct Span {
    Section section;
    std::vector<Chord> chords;
};

const std::vector<Chord> kMain = {{"E2", {"G3", "B3", "E4"}},
                                  {"C2", {"G3", "C4", "E4"}},
                                  {"G2", {"G3", "B3", "D4"}},
                                  {"D2", {"F#3", "A3", "D4"}}};
const std::vector<Chord> kLift = {{"A2", {"A3", "C4", "E4"}},   {"E2", {"G3", "B3", "E4"}},
                                  {"C2", {"G3", "C4", "E4"}},   {"D2", {"F#3", "A3", "D4"}},
                                  {"A2", {"A3", "C4", "E4"}},   {"E2", {"G3", "B3", "E4"}},
                                  {"B1", {"F#3", "B3", "D#4"}}, {"B1", {"F#3", "B3", "D#4"}}};
const std::vector<Chord> kBridge = {{"C2", {"G3", "C4", "E4"}},
                                    {"D2", {"F#3", "A3", "D4"}},
                                    {"B1", {"F#3", "B3", "D#4"}},
                                    {"B1", {"F#3", "B3", "D#4"}}};

struct BarPlan {
    Section section;
    Chord chord;
    bool lastOfSection;
    int indexInSection;
};

std::vector<BarPlan> battlePlan() {
    std::vector<Span> spans = {{kIntro, kMain},  {kVerse, kMain},   {kVerse, kMain},
                               {kChorus, kLift}, {kBreak, kBridge}, {kVerse, kMain},
                               {kVerse, kMain},  {kChorus, kLift},  {kOutro, kMain}};
    std::vector<BarPlan> plan;
    for (size_t s = 0; s < spans.size(); ++s) {
        bool sectionEnds = s + 1 == spans.size() || spans[s + 1].section != spans[s].section;
        int start = static_cast<int>(plan.size());
        if (s > 0 && spans[s - 1].section == spans[s].section) {
            start -= static_cast<int>(spans[s - 1].chords.size());
        }
        for (size_t i = 0; i < spans[s].chords.size(); ++i) {
            plan.push_back(BarPlan{spans[s].section, spans[s].chords[i],
                                   sectionEnds && i + 1 == spans[s].chords.size(),
                                   static_cast<int>(plan.size()) - start});
        }
    }
    return plan;
}

const std::vector<Bar>& verseMelody() {
    static const std::vector<Bar> melody = {
        {{"E5", 0, 1},
         {"G5", 1, 0.5},
         {"B5", 1.5, 1},
         {"A5", 2.5, 0.5},
         {"G5", 3, 0.5},
         {"F#5", 3.5, 0.5}},
        {{"E5", 0, 1.5}, {"D5", 1.5, 0.5}, {"E5", 2, 1}, {"G5", 3, 1}},
        {{"D5", 0, 1},
         {"B4", 1, 0.5},
         {"D5", 1.5, 1},
         {"G5", 2.5, 0.5},
         {"F#5", 3, 0.5},
         {"G5", 3.5, 0.5}},
        {{"A5", 0, 2}, {"F#5", 2, 1}, {"D5", 3, 1}},
        {{"E5", 0, 1},
         {"G5", 1, 0.5},
         {"B5", 1.5, 1},
         {"A5", 2.5, 0.5},
         {"B5", 3, 0.5},
         {"D6", 3.5, 0.5}},
        {{"E6", 0, 1.5}, {"D6", 1.5, 0.5}, {"C6", 2, 0.5}, {"B5", 2.5, 0.5}, {"G5", 3, 1}},
        {{"B5", 0, 1},
         {"A5", 1, 0.5},
         {"G5", 1.5, 1},
         {"D5", 2.5, 0.5},
         {"G5", 3, 0.5},
         {"A5", 3.5, 0.5}},
        {{"F#5", 0, 3}, {"A5", 3, 1}},
    };
    return melody;
}

const std::vector<Bar>& chorusMelody() {
    static const std::vector<Bar> melody = {
        {{"C6", 0, 1.5}, {"B5", 1.5, 0.5}, {"A5", 2, 1}, {"E5", 3, 1}},
        {{"G5", 0, 1.5}, {"F#5", 1.5, 0.5}, {"E5", 2, 2}},
        {{"E5", 0, 0.5},
         {"G5", 0.5, 0.5},
         {"C6", 1, 1},
         {"B5", 2, 0.5},
         {"A5", 2.5, 0.5},
         {"G5", 3, 1}},
        {{"F#5", 0, 1.5}, {"E5", 1.5, 0.5}, {"D5", 2, 1}, {"F#5", 3, 1}},
        {{"A5", 0, 1.5}, {"B5", 1.5, 0.5}, {"C6", 2, 1}, {"E6", 3, 1}},
        {{"B5", 0, 1.5}, {"G5", 1.5, 0.5}, {"E5", 2, 1}, {"G5", 3, 1}},
        {{"F#5", 0, 1}, {"D#5", 1, 1}, {"F#5", 2, 1}, {"A5", 3, 1}},
        {{"B5", 0, 3}},
    };
    return melody;
}

MidiTrack battleLead(const std::vector<BarPlan>& plan, uint32_t end) {
    MidiTrack track = part("Lead (saw)", 0, 81, 96, 64, 50);
    track.controller(0, 93, 30);
    Dynamics dynamics(201, 8);
    bool secondHalf = false;
    for (size_t bar = 0; bar < plan.size(); ++bar) {
        const BarPlan& p = plan[bar];
        if (p.section == kBreak) {
            secondHalf = true;
        }
        const std::vector<Bar>* melody = p.section == kVerse    ? &verseMelody()
                                         : p.section == kChorus ? &chorusMelody()
                                                                : nullptr;
        if (!melody || p.indexInSection >= static_cast<int>(melody->size())) {
            continue;
        }
        std::vector<Bar> one = {(*melody)[static_cast<size_t>(p.indexInSection)]};
        playMelody(track, 0, one, static_cast<int>(bar), 0, 86, dynamics);
        // The second time round a softer voice an octave below thickens the tune.
        if (secondHalf) {
            playMelody(track, 0, one, static_cast<int>(bar), -12, 62, dynamics);
        }
    }
    track.end(end);
    return track;
}

MidiTrack battleArpeggio(const std::vector<BarPlan>& plan, uint32_t end) {
    MidiTrack track = part("Arpeggio (square)", 1, 80, 62, 36, 40);
    Dynamics dynamics(202, 4);
    static const int order[16] = {0, 1, 2, 3, 2, 1, 0, 1, 2, 3, 4, 3, 2, 1, 2, 3};
    for (size_t bar = 0; bar < plan.size(); ++bar) {
        const auto& v = plan[bar].chord.voicing;
        int tones[5] = {pitch(v[0]) + 12, pitch(v[1]) + 12, pitch(v[2]) + 12, pitch(v[0]) + 24,
                        pitch(v[1]) + 24};
        for (int step = 0; step < 16; ++step) {
            float beat = 0.25f * static_cast<float>(step);
            int base = step % 4 == 0 ? 64 : 48;
            track.note(1, tones[order[step]],
                       dynamics.velocity(base, static_cast<int>(bar), beat, 4),
                       at(static_cast<int>(bar), beat), ticks(0.25f) - 15);
        }
    }
    track.end(end);
    return track;
}

MidiTrack battlePad(const std::vector<BarPlan>& plan, uint32_t end) {
    MidiTrack track = part("Chords (strings)", 2, 50, 80, 92, 80);
    Dynamics dynamics(203, 4);
    for (size_t bar = 0; bar < plan.size(); ++bar) {
        if (plan[bar].section == kIntro) {
            continue;
        }
        int base = plan[bar].section == kChorus || plan[bar].section == kBreak ? 72 : 60;
        for (const char* name : plan[bar].chord.voicing) {
            track.note(2, pitch(name), dynamics.velocity(base, static_cast<int>(bar), 0, 0),
                       at(static_cast<int>(bar), 0), ticks(4.0f) - 10);
        }
    }
    track.end(end);
    return track;
}

MidiTrack battleBass(const std::vector<BarPlan>& plan, uint32_t end) {
    MidiTrack track = part("Bass (synth)", 3, 38, 104, 64, 20);
    Dynamics dynamics(204, 2);
    // Driving eighths: root with octave kicks, a fifth leading into the next bar.
    static const int shape[8] = {0, 0, 12, 0, 0, 12, 0, 7};
    for (size_t bar = 0; bar < plan.size(); ++bar) {
        int root = pitch(plan[bar].chord.bass);
        bool halfTime = plan[bar].section == kBreak;
        for (int step = 0; step < 8; ++step) {
            float beat = 0.5f * static_cast<float>(step);
            if (halfTime && step % 2 == 1) {
                continue;
            }
            int base = step % 2 == 0 ? 92 : 74;
            track.note(3, root + shape[step], dynamics.velocity(base, static_cast<int>(bar), beat),
                       at(static_cast<int>(bar), beat), ticks(halfTime ? 1.0f : 0.5f) - 30);
        }
    }
    track.end(end);
    return track;
}

MidiTrack battleDrums(const std::vector<BarPlan>& plan, uint32_t end) {
    MidiTrack track = part("Drums", kDrums, 0, 100, 64, 40);
    Dynamics dynamics(205, 4);
    for (size_t b = 0; b < plan.size(); ++b) {
        int bar = static_cast<int>(b);
        const BarPlan& p = plan[b];
        auto hit = [&](int key, float beat, int base) {
            track.note(kDrums, key, dynamics.velocity(base, bar, beat), at(bar, beat),
                       ticks(0.25f));
        };
        if (p.indexInSection == 0 && p.section != kIntro && p.section != kBreak) {
            hit(kCrash, 0, 92);
        }
        if (p.section == kBreak) {
            // Half time: the music breathes before the tune returns.
            hit(kKick, 0, 96);
            hit(kSnare, 2, 88);
            for (int q = 0; q < 4; ++q) {
                hit(kRide, static_cast<float>(q), 70);
            }
            if (p.lastOfSection) {
                for (int s = 0; s < 4; ++s) {
                    hit(kSnare, 3.0f + 0.25f * static_cast<float>(s), 64 + 10 * s);
                }
            }
            continue;
        }
        bool sparse = p.section == kIntro && p.indexInSection < 2;
        bool fill = p.lastOfSection;
        for (int step = 0; step < 8; ++step) {
            float beat = 0.5f * static_cast<float>(step);
            if (fill && step >= 6) {
                // Sixteenth-note snare and tom run into the next section.
                static const int run[4] = {kSnare, kHighTom, kMidTom, kLowTom};
                for (int s = 0; s < 2; ++s) {
                    int i = (step - 6) * 2 + s;
                    hit(run[i], beat + 0.25f * static_cast<float>(s), 78 + 8 * i);
                }
                continue;
            }
            bool openHat = step == 7 && bar % 2 == 1;
            hit(openHat ? kOpenHat : kClosedHat, beat, step % 2 == 0 ? 72 : 56);
            if (sparse) {
                if (step % 2 == 0) {
                    hit(kKick, beat, 96);
                }
                continue;
            }
            if (step == 0 || step == 4 || step == 5) {
                hit(kKick, beat, 100);
            }
            if (step == 2 || step == 6) {
                hit(kSnare, beat, 96);
            }
        }
    }
    track.end(end);
    return track;
}

}  // namespace

Song titleTheme() {
    const uint32_t end = at(static_cast<int>(titleChords().size()), 0);
    Song song;
    song.division = kDivision;
    song.tracks = {conductor("Quelvane - Title", 80, end),
                   titleLead(end),
                   titleHarp(end),
                   titlePad(end),
                   titleBass(end),
                   titleDrums(end)};
    return song;
}

Song battleTheme() {
    std::vector<BarPlan> plan = battlePlan();
    const uint32_t end = at(static_cast<int>(plan.size()), 0);
    Song song;
    song.division = kDivision;
    song.tracks = {conductor("Quelvane - Battle", 140, end),
                   battleLead(plan, end),
                   battleArpeggio(plan, end),
                   battlePad(plan, end),
                   battleBass(plan, end),
                   battleDrums(plan, end)};
    return song;
}

}  // namespace assetgen
