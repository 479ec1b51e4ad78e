#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Writes 16-bit PCM as a RIFF WAVE file: the 16-byte "fmt " chunk, then the "data" chunk with the
// samples interleaved by channel. False when the file is not written whole, a full disk included.
bool writeWav(const std::string& path, uint16_t channels, uint32_t sampleRate,
              const std::vector<int16_t>& samples);
