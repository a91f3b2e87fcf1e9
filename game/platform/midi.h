#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace plat {

// What can be wrong with a standard MIDI file, in the order a reader meets it.
enum class MidiError {
    None,
    NoHeader,   // no "MThd" chunk of at least 6 bytes at the start
    BadHeader,  // a format above 2, no tracks, or a time division of 0
    TrackCut,   // a track is missing, or a chunk runs past the end of the file
    BadEvent,   // an event that cannot be read: a data byte with no status
                // before it, a number longer than 4 bytes, data past the
                // track's end, or a track without its end-of-track event
    Silent,     // no note is ever struck, or the piece lasts no time at all
    TooLarge,   // larger than any piece of music could need
};

// Largest MIDI file accepted.
constexpr uint64_t kMaxMidiBytes = uint64_t(16) << 20;

// Checks a MIDI file's bytes before a synthesizer is given them: the header,
// every track the header counts (chunks of other kinds between them are
// skipped), every event of those tracks, and that the piece strikes a note
// and lasts some time. A synthesizer handed a file that fails here either
// refuses it while playing or plays nothing, and a piece looped without end
// would then restart again and again without producing sound.
MidiError CheckMidi(const std::vector<uint8_t>& bytes, std::string* detail = nullptr);

// English name of an error, for logs.
const char* MidiErrorName(MidiError e);

} // namespace plat
