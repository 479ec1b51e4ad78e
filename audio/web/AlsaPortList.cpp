// The page's ALSA ports, in place of audio/AlsaPortList.cpp: a page has no ALSA sequencer, so it
// lists none and opens none. Its MIDI outputs are the Web MIDI API's, which the page lists and
// plays on itself (web/quelvane-music.js).
#include "audio/AlsaPortList.h"

#include "audio/MusicPort.h"

std::vector<AlsaPortInfo> listAlsaOutputPorts() {
    return {};
}

void silenceAlsaErrors() {}

std::unique_ptr<MusicPort> openAlsaPort(const AlsaPortInfo&) {
    return nullptr;
}
