#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "audio.h"

namespace plat {

// What can be wrong with a WAVE file, in the order a reader meets it.
enum class WaveError {
    None,
    NoRiff,      // not a RIFF file of form "WAVE"
    NoFmt,       // no "fmt " chunk
    FormatRead,  // the "fmt " chunk is shorter than 16 bytes or cut off
    Ascend,      // the "fmt " chunk claims more bytes than its file holds
    NoData,      // no "data" chunk
    Unsupported, // not 8- or 16-bit PCM with one or two channels, or a
                 // rate, channel count or block size that is 0 or does not fit
    Empty,       // no whole sample in the data
    TooLarge,    // more sample data than any sound effect could need
};

// Largest sample data accepted.
constexpr uint64_t kMaxWaveDataBytes = uint64_t(256) << 20;

// Reads a WAVE file's bytes. Chunks may come in any order; unknown ones
// (LIST and others) are skipped with their pad byte. A "fmt " chunk
// contributes at most its first 18 bytes; a data chunk that claims more
// than the file holds is cut to what is there, and to whole sample frames.
// The result's byte rate is always rate x block size.
WaveError ParseWave(const std::vector<uint8_t>& bytes, WaveData* out, std::string* detail = nullptr);

// English name of an error, for logs.
const char* WaveErrorName(WaveError e);

} // namespace plat
