#pragma once

#include <optional>
#include <string>
#include <vector>

// Description of the built-in synthesizer, the default port, always listed first.
inline constexpr const char* kSoftwareSynthesizerName = "Software Synthesizer";

// The description of every port the music can play on: the built-in synthesizer first, then the
// writable ports of the ALSA sequencer in its order. Needs no audio system, so that tonspire lists
// the ports without loading a synthesizer.
std::vector<std::string> listPortDescriptions();

// The index of the port that the saved name means: an exact, case-sensitive match first; else a
// match that ignores the digits of both names, so that a port whose name carries a process id or
// a card number is found again after a restart; nullopt when neither matches.
std::optional<std::size_t> findPort(const std::vector<std::string>& descriptions,
                                    const std::string& wanted);
