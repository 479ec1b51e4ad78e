#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace assetgen {

// A mono 16-bit PCM sound.
struct Sound {
    int sampleRate = 22050;
    std::vector<int16_t> samples;
};

// Writes a RIFF WAVE file: a 16-byte "fmt " chunk, then the "data" chunk.
bool writeWav(const std::string& path, const Sound& sound);

}  // namespace assetgen
