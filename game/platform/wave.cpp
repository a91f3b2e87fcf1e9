#include "wave.h"

#include <algorithm>
#include <cstring>

namespace plat {
namespace {

uint32_t Le32(const std::vector<uint8_t>& b, uint64_t o)
{
    return uint32_t(b[o]) | (uint32_t(b[o + 1]) << 8) | (uint32_t(b[o + 2]) << 16) | (uint32_t(b[o + 3]) << 24);
}
uint16_t Le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t Le32(const uint8_t* p) { return uint32_t(Le16(p)) | (uint32_t(Le16(p + 2)) << 16); }

bool Is(const std::vector<uint8_t>& b, uint64_t o, const char* id) { return std::memcmp(b.data() + o, id, 4) == 0; }

WaveError Fail(WaveError e, std::string* detail, const char* text)
{
    if (detail)
        *detail = text;
    return e;
}

} // namespace

const char* WaveErrorName(WaveError e)
{
    switch (e) {
    case WaveError::None: return "ok";
    case WaveError::NoRiff: return "not a RIFF WAVE file";
    case WaveError::NoFmt: return "no fmt chunk";
    case WaveError::FormatRead: return "fmt chunk too short";
    case WaveError::Ascend: return "fmt chunk runs past the end of the file";
    case WaveError::NoData: return "no data chunk";
    case WaveError::Unsupported: return "unsupported sample format";
    case WaveError::Empty: return "no samples";
    case WaveError::TooLarge: return "sample data too large";
    }
    return "?";
}

WaveError ParseWave(const std::vector<uint8_t>& b, WaveData* out, std::string* detail)
{
    const uint64_t size = b.size();
    if (size < 12 || !Is(b, 0, "RIFF") || !Is(b, 8, "WAVE"))
        return Fail(WaveError::NoRiff, detail, "not a RIFF file of form WAVE");
    // The RIFF size bounds the chunks; writers that leave it 0 or too large
    // are read to the end of the file.
    const uint64_t riffSize = Le32(b, 4);
    const uint64_t end = riffSize >= 4 ? std::min(size, 8 + riffSize) : size;

    bool haveFmt = false, haveData = false;
    uint8_t fmt[18] = {};
    uint64_t dataAt = 0, dataLen = 0;
    for (uint64_t pos = 12; pos + 8 <= end;) {
        const uint64_t len = Le32(b, pos + 4);
        const uint64_t body = pos + 8;
        if (!haveFmt && Is(b, pos, "fmt ")) {
            if (len < 16 || body + 16 > size)
                return Fail(WaveError::FormatRead, detail, "fmt chunk shorter than 16 bytes");
            // The format is read as 18 bytes; a 16-byte chunk leaves the
            // last field zero.
            std::memcpy(fmt, b.data() + body, static_cast<size_t>(std::min<uint64_t>({len, 18, size - body})));
            if (body + len > end)
                return Fail(WaveError::Ascend, detail, "fmt chunk runs past the end of the file");
            haveFmt = true;
        } else if (!haveData && Is(b, pos, "data")) {
            dataAt = body;
            dataLen = std::min(len, size - body);
            haveData = true;
        }
        pos = body + len + (len & 1);
    }
    if (!haveFmt)
        return Fail(WaveError::NoFmt, detail, "no fmt chunk");
    if (!haveData)
        return Fail(WaveError::NoData, detail, "no data chunk");

    WaveFormat f;
    f.formatTag = Le16(fmt);
    f.channels = Le16(fmt + 2);
    f.samplesPerSec = Le32(fmt + 4);
    f.blockAlign = Le16(fmt + 12);
    f.bitsPerSample = Le16(fmt + 14);
    // What a static sound buffer takes: PCM, 8 or 16 bits, one or two
    // channels, a sensible rate, and a block size that matches them.
    if (f.formatTag != 1)
        return Fail(WaveError::Unsupported, detail, "not PCM");
    if (f.channels != 1 && f.channels != 2)
        return Fail(WaveError::Unsupported, detail, "channel count other than 1 or 2");
    if (f.bitsPerSample != 8 && f.bitsPerSample != 16)
        return Fail(WaveError::Unsupported, detail, "sample size other than 8 or 16 bits");
    if (f.samplesPerSec < 100 || f.samplesPerSec > 200000)
        return Fail(WaveError::Unsupported, detail, "sample rate outside 100..200000");
    if (f.blockAlign != f.channels * f.bitsPerSample / 8)
        return Fail(WaveError::Unsupported, detail, "block size does not match channels and sample size");
    f.avgBytesPerSec = f.samplesPerSec * f.blockAlign;
    if (dataLen > kMaxWaveDataBytes)
        return Fail(WaveError::TooLarge, detail, "sample data larger than 256 MB");
    dataLen -= dataLen % f.blockAlign;
    if (dataLen == 0)
        return Fail(WaveError::Empty, detail, "no whole sample frame in the data");

    out->fmt = f;
    out->data.assign(b.begin() + static_cast<std::ptrdiff_t>(dataAt),
                     b.begin() + static_cast<std::ptrdiff_t>(dataAt + dataLen));
    return WaveError::None;
}

} // namespace plat
