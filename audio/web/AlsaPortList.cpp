// Browser variant of audio/AlsaPortList.cpp: a page has no ALSA sequencer. Its MIDI outputs are
// the Web MIDI API's, which the page lists and plays on itself (web/quelvane-music.js).
#include "audio/AlsaPortList.h"

std::vector<AlsaPortInfo> listAlsaOutputPorts() {
    return {};
}

void silenceAlsaErrors() {}
