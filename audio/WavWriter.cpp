#include "audio/WavWriter.h"

#include <fstream>
#include <limits>

#include "platform/ByteOrder.h"

bool writeWav(const std::string& path, uint16_t channels, uint32_t sampleRate,
              const std::vector<int16_t>& samples) {
    constexpr uint32_t kHeaderBytes = 44;
    // The RIFF size counts everything after its own eight bytes and must fit in 32 bits.
    if (samples.size() > (std::numeric_limits<uint32_t>::max() - kHeaderBytes) / 2) {
        return false;
    }
    const auto dataBytes = static_cast<uint32_t>(samples.size() * 2);
    const auto blockAlign = static_cast<uint16_t>(channels * 2);
    std::vector<uint8_t> bytes{'R', 'I', 'F', 'F'};
    bytes.reserve(kHeaderBytes + dataBytes);
    byteorder::appendLe(bytes, kHeaderBytes - 8 + dataBytes, 4);
    bytes.insert(bytes.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    byteorder::appendLe(bytes, 16, 4);
    byteorder::appendLe(bytes, 1, 2);  // PCM
    byteorder::appendLe(bytes, channels, 2);
    byteorder::appendLe(bytes, sampleRate, 4);
    byteorder::appendLe(bytes, sampleRate * blockAlign, 4);
    byteorder::appendLe(bytes, blockAlign, 2);
    byteorder::appendLe(bytes, 16, 2);
    bytes.insert(bytes.end(), {'d', 'a', 't', 'a'});
    byteorder::appendLe(bytes, dataBytes, 4);
    for (int16_t s : samples) {
        byteorder::appendLe(bytes, static_cast<uint16_t>(s), 2);
    }

    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    // The last bytes reach the disk only here: a full disk shows in the close.
    out.close();
    return !out.fail();
}
