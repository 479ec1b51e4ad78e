// Browser variant of audio/AlsaPort.cpp: with no ALSA ports listed, none is ever opened.
#include "audio/AlsaPort.h"

std::unique_ptr<AlsaPort> AlsaPort::open(int, int) {
    return nullptr;
}
