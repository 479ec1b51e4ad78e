#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "audio/WavReader.h"

// Converts a sound to the mixer's form: stereo interleaved floats at the device rate. Takes PCM of
// 8, 16, 24 or 32 bits and 32-bit float, 1 to 8 channels, 4000 to 192000 Hz (rates beyond would
// only let a small file grow without bound); nullopt for anything else or for no whole frame, why,
// when given, then saying which in a few words.
std::optional<std::vector<float>> convertToStereo(const WavSound& sound, uint32_t deviceRate,
                                                  std::string* why = nullptr);
