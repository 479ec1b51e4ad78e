#include "tools/assetgen/WavFile.h"

#include <fstream>

namespace assetgen {

namespace {

void put32(std::ofstream& out, uint32_t v) {
    char bytes[4] = {static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF),
                     static_cast<char>((v >> 16) & 0xFF), static_cast<char>((v >> 24) & 0xFF)};
    out.write(bytes, 4);
}

void put16(std::ofstream& out, uint16_t v) {
    char bytes[2] = {static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF)};
    out.write(bytes, 2);
}

}  // namespace

bool writeWav(const std::string& path, const Sound& sound) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) {
        return false;
    }
    uint32_t dataBytes = static_cast<uint32_t>(sound.samples.size() * 2);
    out.write("RIFF", 4);
    put32(out, 36 + dataBytes);
    out.write("WAVE", 4);
    out.write("fmt ", 4);
    put32(out, 16);
    put16(out, 1);  // PCM
    put16(out, 1);  // mono
    put32(out, static_cast<uint32_t>(sound.sampleRate));
    put32(out, static_cast<uint32_t>(sound.sampleRate) * 2);
    put16(out, 2);
    put16(out, 16);
    out.write("data", 4);
    put32(out, dataBytes);
    for (int16_t s : sound.samples) {
        put16(out, static_cast<uint16_t>(s));
    }
    // The last bytes reach the disk only here: a full disk shows in the close.
    out.close();
    return !out.fail();
}

}  // namespace assetgen
