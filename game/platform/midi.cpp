#include "midi.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace plat {
namespace {

uint32_t Be32(const uint8_t* p) { return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3]; }
uint16_t Be16(const uint8_t* p) { return static_cast<uint16_t>((p[0] << 8) | p[1]); }

MidiError Fail(MidiError e, std::string* detail, std::string text)
{
    if (detail)
        *detail = std::move(text);
    return e;
}

// The size of a meta event of that type that has a fixed one; -1 for others.
int MetaLength(uint8_t type)
{
    switch (type) {
    case 0x2F: return 0; // end of track
    case 0x51: return 3; // tempo
    case 0x54: return 5; // SMPTE offset
    case 0x58: return 4; // time signature
    case 0x59: return 2; // key signature
    default: return -1;
    }
}

// The events of one track, from p up to end.
class TrackReader {
public:
    TrackReader(const uint8_t* p, const uint8_t* end) : p_(p), end_(end) {}

    // Reads every event up to the end-of-track event or the end of the
    // track; false on the first that cannot be read.
    bool Read()
    {
        uint8_t running = 0;
        while (p_ < end_) {
            uint32_t delta = 0;
            if (!Number(&delta))
                return false;
            ticks_ += delta;
            if (p_ >= end_)
                return false;
            uint8_t status = *p_;
            if (status < 0x80) {
                // Running status: the data byte belongs to the last channel
                // message's kind.
                if (running == 0)
                    return false;
                status = running;
            } else {
                ++p_;
            }
            if (status == 0xFF) {
                if (p_ >= end_)
                    return false;
                // A meta or exclusive event ends running status: the
                // synthesizer would read a data byte after it as another
                // event of the same kind.
                running = 0;
                const uint8_t type = *p_++;
                uint32_t len = 0;
                if (!Number(&len) || len > static_cast<uint64_t>(end_ - p_))
                    return false;
                // Meta events of fixed size with another are refused by
                // synthesizers, which then stop the piece.
                const int fixed = MetaLength(type);
                if (fixed >= 0 && len != static_cast<uint32_t>(fixed))
                    return false;
                p_ += len;
                if (type == 0x2F)
                    return true; // end of track; whatever follows is never read
            } else if (status == 0xF0) {
                running = 0;
                uint32_t len = 0;
                if (!Number(&len) || len > static_cast<uint64_t>(end_ - p_))
                    return false;
                p_ += len;
            } else if (status >= 0xF0) {
                // No other system message belongs in a file; the escaped
                // ones (0xF7) the synthesizer does not read.
                return false;
            } else {
                running = status;
                const int kind = status & 0xF0;
                const int dataBytes = (kind == 0xC0 || kind == 0xD0) ? 1 : 2;
                if (end_ - p_ < dataBytes)
                    return false;
                for (int i = 0; i < dataBytes; ++i)
                    if (p_[i] >= 0x80)
                        return false;
                if (kind == 0x90 && p_[1] > 0)
                    noteStruck_ = true;
                p_ += dataBytes;
            }
        }
        return true;
    }

    uint64_t Ticks() const { return ticks_; }
    bool NoteStruck() const { return noteStruck_; }

private:
    // A variable-length number: seven bits a byte, at most four bytes.
    bool Number(uint32_t* out)
    {
        uint32_t v = 0;
        for (int i = 0; i < 4; ++i) {
            if (p_ >= end_)
                return false;
            const uint8_t b = *p_++;
            v = (v << 7) | (b & 0x7F);
            if ((b & 0x80) == 0) {
                *out = v;
                return true;
            }
        }
        return false;
    }

    const uint8_t* p_;
    const uint8_t* end_;
    uint64_t ticks_ = 0;
    bool noteStruck_ = false;
};

} // namespace

MidiError CheckMidi(const std::vector<uint8_t>& b, std::string* detail)
{
    const uint64_t size = b.size();
    if (size > kMaxMidiBytes)
        return Fail(MidiError::TooLarge, detail, "larger than " + std::to_string(kMaxMidiBytes) + " bytes");
    // The synthesizer reads a header of 6 bytes, whatever its chunk says.
    if (size < 14 || std::memcmp(b.data(), "MThd", 4) != 0 || Be32(&b[4]) != 6)
        return Fail(MidiError::NoHeader, detail, "no MThd chunk of 6 bytes at the start");
    const uint16_t format = Be16(&b[8]);
    const uint16_t tracks = Be16(&b[10]);
    const uint16_t division = Be16(&b[12]);
    // Time counted in ticks a quarter note, as the synthesizer needs (it
    // does not play time in frames a second, a division with its top bit
    // set); none at all would leave no time for a tick. More than 255
    // tracks the synthesizer would count otherwise.
    if (format > 2 || tracks == 0 || tracks > 255 || division == 0 || (division & 0x8000))
        return Fail(MidiError::BadHeader, detail,
                    "format " + std::to_string(format) + ", " + std::to_string(tracks) + " tracks, division " +
                        std::to_string(division));

    uint64_t pos = 14;
    uint64_t longest = 0;
    bool noteStruck = false;
    for (int found = 0; found < tracks;) {
        if (pos + 8 > size)
            return Fail(MidiError::TrackCut, detail,
                        "track " + std::to_string(found + 1) + " of " + std::to_string(tracks) + " missing");
        const uint64_t len = Be32(&b[pos + 4]);
        const uint64_t body = pos + 8;
        // The synthesizer reads the tracks one after the other and cannot
        // step over a chunk of another kind between them.
        if (std::memcmp(&b[pos], "MTrk", 4) != 0)
            return Fail(MidiError::TrackCut, detail,
                        "no track at byte " + std::to_string(pos) + " where track " + std::to_string(found + 1) +
                            " should be");
        if (len > size - body)
            return Fail(MidiError::TrackCut, detail, "a track of " + std::to_string(len) + " bytes at byte " +
                                                         std::to_string(pos) + " runs past the end of the file");
        ++found;
        TrackReader track(b.data() + body, b.data() + body + len);
        if (!track.Read())
            return Fail(MidiError::BadEvent, detail, "track " + std::to_string(found) + " has an unreadable event");
        longest = std::max(longest, track.Ticks());
        noteStruck = noteStruck || track.NoteStruck();
        pos = body + len;
    }
    if (!noteStruck || longest == 0)
        return Fail(MidiError::Silent, detail, noteStruck ? "the piece lasts no time" : "no note is struck");
    return MidiError::None;
}

bool ReadCheckedMidi(const std::filesystem::path& path, std::vector<uint8_t>* bytes)
{
    bytes->clear();
    if (path.empty())
        return false;
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return false;
    // Read no further than one byte past the largest piece: that is enough
    // for the check to refuse it.
    uint8_t buf[65536];
    size_t got = 0;
    while (bytes->size() <= kMaxMidiBytes && (got = std::fread(buf, 1, sizeof buf, f)) > 0)
        bytes->insert(bytes->end(), buf, buf + got);
    std::fclose(f);
    if (CheckMidi(*bytes) != MidiError::None) {
        bytes->clear();
        return false;
    }
    return true;
}

} // namespace plat
