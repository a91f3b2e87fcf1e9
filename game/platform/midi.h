#pragma once
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace plat {

// What can be wrong with a standard MIDI file, in the order a reader meets it.
enum class MidiError {
    None,
    NoHeader,   // no "MThd" chunk of 6 bytes at the start
    BadHeader,  // a format above 2, no tracks or more than 255, or a time
                // division of 0 or in frames a second
    TrackCut,   // a track is missing, or runs past the end of the file, or
                // another chunk stands where a track should be
    BadEvent,   // an event that cannot be read: a data byte with no channel
                // message's status before it (a meta or exclusive event ends
                // running status), a number longer than 4 bytes, data past
                // the track's end, a system message other than an exclusive
                // one (escaped ones included), or a tempo, signature or
                // end-of-track event of another size than its kind has
    Silent,     // no note is ever struck, or the piece lasts no time at all
    TooLarge,   // larger than any piece of music could need
};

// Largest MIDI file accepted.
constexpr uint64_t kMaxMidiBytes = uint64_t(16) << 20;

// Checks a MIDI file's bytes before the synthesizer is given them, as
// strictly as the synthesizer reads them: the header, every track the header
// counts, one after the other, every event of those tracks, and that the
// piece strikes a note and lasts some time; whatever follows the last track
// is never read. A synthesizer handed a file that fails here either
// refuses it while playing or plays nothing, and a piece looped without end
// would then restart again and again without producing sound.
MidiError CheckMidi(const std::vector<uint8_t>& bytes, std::string* detail = nullptr);

// The music file at path read whole and checked: its bytes in *bytes, or
// false (*bytes empty) when it cannot be read or fails CheckMidi. Every
// audio back end takes a piece through this, so music the game refuses is
// refused the same way with sound and without.
bool ReadCheckedMidi(const std::filesystem::path& path, std::vector<uint8_t>* bytes);

} // namespace plat
