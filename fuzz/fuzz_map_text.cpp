// The game's map reader on the text of one map file.
#include <cstddef>
#include <cstdint>
#include <string>

#include "world/map.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    MapData map;
    int line = 0;
    std::string reason;
    ParseMapText(std::string(reinterpret_cast<const char*>(data), size), &map, &line, &reason);
    return 0;
}
