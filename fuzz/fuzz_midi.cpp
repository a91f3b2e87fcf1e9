// The check the game's real audio makes of a MIDI file before its mixer is
// handed the piece, on the bytes of one music file.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/midi.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string detail;
    plat::CheckMidi(std::vector<uint8_t>(data, data + size), &detail);
    return 0;
}
