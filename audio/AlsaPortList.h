#pragma once

#include <memory>
#include <string>
#include <vector>

class MusicPort;

// A writable port of the ALSA sequencer, known to the user by its description "client: port";
// the numbers are kept only for opening it now, never saved, as they change from boot to boot.
struct AlsaPortInfo {
    std::string description;
    int client = 0;
    int port = 0;
};

// Every port another client offers for writing MIDI to, in the sequencer's order; empty when the
// machine has no sequencer.
std::vector<AlsaPortInfo> listAlsaOutputPorts();

// Stops the ALSA library from printing its errors; a missing sound card or sequencer is normal
// here.
void silenceAlsaErrors();

// The music on one of the listed ports (AlsaPort.h); null when it cannot be reached.
std::unique_ptr<MusicPort> openAlsaPort(const AlsaPortInfo& port);
