// libFuzzer target: the RIFF walk and the conversion to the mixer's form.
#include <cstddef>
#include <cstdint>
#include <sstream>

#include "audio/WavConverter.h"
#include "audio/WavReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    if (auto sound = readWav(in)) {
        convertToStereo(*sound, 48000);
    }
    return 0;
}
