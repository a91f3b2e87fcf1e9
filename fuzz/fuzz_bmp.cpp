// The game's BMP decoder on the bytes of one picture file.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/bmp.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    plat::DecodeBmp565(std::vector<uint8_t>(data, data + size));
    return 0;
}
