#include "midi.h"

#include <algorithm>
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

// The events of one track, from p up to end.
class TrackReader {
public:
    TrackReader(const uint8_t* p, const uint8_t* end) : p_(p), end_(end) {}

    // Reads every event; false on the first that cannot be read.
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
                const uint8_t type = *p_++;
                uint32_t len = 0;
                if (!Number(&len) || len > static_cast<uint64_t>(end_ - p_))
                    return false;
                p_ += len;
                if (type == 0x2F)
                    return true; // end of track; whatever follows is never read
            } else if (status == 0xF0 || status == 0xF7) {
                uint32_t len = 0;
                if (!Number(&len) || len > static_cast<uint64_t>(end_ - p_))
                    return false;
                p_ += len;
            } else if (status >= 0xF0) {
                return false; // no other system message belongs in a file
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

const char* MidiErrorName(MidiError e)
{
    switch (e) {
    case MidiError::None: return "ok";
    case MidiError::NoHeader: return "not a MIDI file";
    case MidiError::BadHeader: return "bad MIDI header";
    case MidiError::TrackCut: return "track missing or cut off";
    case MidiError::BadEvent: return "unreadable event";
    case MidiError::Silent: return "no note to play";
    case MidiError::TooLarge: return "file too large";
    }
    return "?";
}

MidiError CheckMidi(const std::vector<uint8_t>& b, std::string* detail)
{
    const uint64_t size = b.size();
    if (size > kMaxMidiBytes)
        return Fail(MidiError::TooLarge, detail, "larger than " + std::to_string(kMaxMidiBytes) + " bytes");
    if (size < 14 || std::memcmp(b.data(), "MThd", 4) != 0 || Be32(&b[4]) < 6)
        return Fail(MidiError::NoHeader, detail, "no MThd chunk at the start");
    const uint64_t headerLen = Be32(&b[4]);
    if (8 + headerLen > size)
        return Fail(MidiError::TrackCut, detail, "the header runs past the end of the file");
    const uint16_t format = Be16(&b[8]);
    const uint16_t tracks = Be16(&b[10]);
    const uint16_t division = Be16(&b[12]);
    // A division with its top bit set counts frames a second and ticks a
    // frame; either being 0 leaves no time for a tick.
    const bool noTime = (division & 0x8000) ? ((division >> 8) == 0x80 || (division & 0xFF) == 0) : division == 0;
    if (format > 2 || tracks == 0 || noTime)
        return Fail(MidiError::BadHeader, detail,
                    "format " + std::to_string(format) + ", " + std::to_string(tracks) + " tracks, division " +
                        std::to_string(division));

    uint64_t pos = 8 + headerLen;
    uint64_t longest = 0;
    bool noteStruck = false;
    for (int found = 0; found < tracks;) {
        if (pos + 8 > size)
            return Fail(MidiError::TrackCut, detail,
                        "track " + std::to_string(found + 1) + " of " + std::to_string(tracks) + " missing");
        const uint64_t len = Be32(&b[pos + 4]);
        const uint64_t body = pos + 8;
        if (len > size - body)
            return Fail(MidiError::TrackCut, detail, "a chunk of " + std::to_string(len) + " bytes at byte " +
                                                         std::to_string(pos) + " runs past the end of the file");
        if (std::memcmp(&b[pos], "MTrk", 4) == 0) {
            ++found;
            TrackReader track(b.data() + body, b.data() + body + len);
            if (!track.Read())
                return Fail(MidiError::BadEvent, detail, "track " + std::to_string(found) + " has an unreadable event");
            longest = std::max(longest, track.Ticks());
            noteStruck = noteStruck || track.NoteStruck();
        }
        pos = body + len;
    }
    if (!noteStruck || longest == 0)
        return Fail(MidiError::Silent, detail, noteStruck ? "the piece lasts no time" : "no note is struck");
    return MidiError::None;
}

} // namespace plat
