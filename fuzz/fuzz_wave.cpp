// The game's WAVE parser on the bytes of one sound file.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/wave.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    plat::WaveData wave;
    plat::ParseWave(std::vector<uint8_t>(data, data + size), &wave);
    return 0;
}
