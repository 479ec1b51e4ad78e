#include "audio/WavReader.h"

#include <cstring>

#include "platform/ByteOrder.h"

namespace {

bool readBytes(std::istream& in, void* to, std::size_t n) {
    in.read(static_cast<char*>(to), static_cast<std::streamsize>(n));
    return static_cast<std::size_t>(in.gcount()) == n;
}

bool readWord(std::istream& in, uint32_t& value) {
    uint8_t b[4];
    if (!readBytes(in, b, 4)) {
        return false;
    }
    value = byteorder::readLe32(b);
    return true;
}

// Bytes left between the read position and the end of the stream.
uint64_t remaining(std::istream& in) {
    const auto here = in.tellg();
    in.seekg(0, std::ios::end);
    const auto end = in.tellg();
    in.seekg(here);
    return end > here ? static_cast<uint64_t>(end - here) : 0;
}

WavFormat parseFormat(const std::vector<uint8_t>& body) {
    uint8_t record[18] = {};
    if (!body.empty()) {
        std::memcpy(record, body.data(), std::min<std::size_t>(body.size(), sizeof record));
    }
    WavFormat f;
    f.formatTag = byteorder::readLe16(record);
    f.channels = byteorder::readLe16(record + 2);
    f.samplesPerSec = byteorder::readLe32(record + 4);
    f.avgBytesPerSec = byteorder::readLe32(record + 8);
    f.blockAlign = byteorder::readLe16(record + 12);
    f.bitsPerSample = byteorder::readLe16(record + 14);
    f.extraSize = byteorder::readLe16(record + 16);
    return f;
}

// Chunk ids are four characters; a damaged one is shown with what cannot be printed as '?'.
std::string chunkName(const char id[4]) {
    std::string name = "'";
    for (int i = 0; i < 4; ++i) {
        const unsigned char c = static_cast<unsigned char>(id[i]);
        name += c >= 0x20 && c < 0x7F ? static_cast<char>(c) : '?';
    }
    return name + "'";
}

std::optional<WavSound> walkChunks(std::istream& in, std::string& why) {
    char header[12];
    if (!readBytes(in, header, sizeof header)) {
        why = "not a WAV file (shorter than a RIFF header)";
        return std::nullopt;
    }
    // The header decides nothing; a file that fails without RIFF WAVE is named for that.
    const bool riffWave =
        std::memcmp(header, "RIFF", 4) == 0 && std::memcmp(header + 8, "WAVE", 4) == 0;
    auto refuse = [&](std::string reason) {
        why = riffWave ? std::move(reason) : "not a WAV file (no RIFF WAVE header)";
        return std::nullopt;
    };
    WavSound sound;
    bool haveFormat = false;
    for (;;) {
        char id[4];
        uint32_t size;
        if (!readBytes(in, id, 4) || !readWord(in, size)) {
            return refuse("no data chunk");
        }
        const uint64_t left = remaining(in);
        if (size > left) {
            return refuse("truncated: the " + chunkName(id) + " chunk claims " +
                          std::to_string(size) + " bytes, " + std::to_string(left) + " remain");
        }
        std::vector<uint8_t> body(size);
        if (!readBytes(in, body.data(), size)) {
            return refuse("read error in the " + chunkName(id) + " chunk");
        }
        if (std::memcmp(id, "fmt ", 4) == 0) {
            sound.format = parseFormat(body);
            sound.sampleFormat = sound.format.formatTag;
            // The extensible form: 2 bytes of valid bits, 4 of channel mask, then the sub-format
            // GUID, whose first two bytes are the real tag.
            if (sound.format.formatTag == kWaveFormatExtensible && body.size() >= 26) {
                sound.sampleFormat = byteorder::readLe16(body.data() + 24);
            }
            haveFormat = true;
        } else if (std::memcmp(id, "data", 4) == 0) {
            if (!haveFormat) {
                return refuse("data chunk before any 'fmt ' chunk");
            }
            sound.data = std::move(body);
            return sound;
        }
        if (size % 2 == 1 && in.peek() != std::char_traits<char>::eof()) {
            in.ignore(1);
        }
    }
}

}  // namespace

std::optional<WavSound> readWav(std::istream& in, std::string* why) {
    std::string reason;
    std::optional<WavSound> sound = walkChunks(in, reason);
    if (!sound && why) {
        *why = std::move(reason);
    }
    return sound;
}
