#pragma once

#include <cstdint>
#include <istream>
#include <optional>
#include <string>
#include <vector>

// The 18-byte format record, filled from the start of the "fmt " chunk.
struct WavFormat {
    uint16_t formatTag = 0;
    uint16_t channels = 0;
    uint32_t samplesPerSec = 0;
    uint32_t avgBytesPerSec = 0;
    uint16_t blockAlign = 0;
    uint16_t bitsPerSample = 0;
    uint16_t extraSize = 0;
};

inline constexpr uint16_t kWaveFormatPcm = 1;
inline constexpr uint16_t kWaveFormatFloat = 3;
inline constexpr uint16_t kWaveFormatExtensible = 0xFFFE;

struct WavSound {
    WavFormat format;
    // The extensible form names its real format in a sub-format; for the others this is the tag.
    uint16_t sampleFormat = 0;
    std::vector<uint8_t> data;
};

// Walks the RIFF chunks up to the first "data" chunk. The 12-byte header is read but not examined;
// chunk ids match case-sensitively; a "fmt " body longer than 18 bytes keeps its first 18 (and an
// extensible one its sub-format); odd-sized chunks are followed by a pad byte, which is skipped.
// nullopt when the data comes before any "fmt ", when a read fails or the file ends first, and when
// a chunk claims more than what is left of the stream; why, when given, then says which in a few
// words, or that the file is no WAV at all when its header is not RIFF WAVE.
std::optional<WavSound> readWav(std::istream& in, std::string* why = nullptr);
