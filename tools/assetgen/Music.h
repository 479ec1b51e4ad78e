#pragma once

#include <vector>

#include "tools/assetgen/MidiFile.h"

namespace assetgen {

struct Song {
    int division = 480;  // ticks per quarter note
    std::vector<MidiTrack> tracks;
};

// title.mid: a calm theme in A minor, 16 bars at 80 beats a minute (48 s).
Song titleTheme();
// background.mid: a driving piece in E minor for play, 44 bars at 140 beats a minute (75 s).
Song battleTheme();

}  // namespace assetgen
