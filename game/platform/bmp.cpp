#include "bmp.h"

#include <SDL.h>

#include <fstream>
#include <iterator>

namespace plat {
namespace {

uint32_t Le32(const std::vector<uint8_t>& b, size_t o)
{
    return uint32_t(b[o]) | (uint32_t(b[o + 1]) << 8) | (uint32_t(b[o + 2]) << 16) | (uint32_t(b[o + 3]) << 24);
}
uint16_t Le16(const std::vector<uint8_t>& b, size_t o) { return uint16_t(b[o] | (b[o + 1] << 8)); }

BmpError Fail(BmpError e, std::string* detail, const char* text)
{
    if (detail)
        *detail = text;
    return e;
}

} // namespace

BmpError CheckBmpHeader(const std::vector<uint8_t>& b, std::string* detail)
{
    if (b.size() < 26)
        return Fail(b.size() >= 2 && b[0] == 'B' && b[1] == 'M' ? BmpError::Truncated : BmpError::NotBmp, detail,
                    "file too short for a BMP header");
    if (b[0] != 'B' || b[1] != 'M')
        return Fail(BmpError::NotBmp, detail, "no BM signature");
    const uint32_t dataOffset = Le32(b, 10);
    const uint32_t dibSize = Le32(b, 14);
    int64_t width = 0, height = 0;
    uint16_t bpp = 0;
    uint32_t compression = 0;
    if (dibSize == 12) {
        width = Le16(b, 18);
        height = static_cast<int16_t>(Le16(b, 20));
        bpp = Le16(b, 24);
    } else if (dibSize >= 40) {
        if (b.size() < 14 + 40)
            return Fail(BmpError::Truncated, detail, "info header cut short");
        width = static_cast<int32_t>(Le32(b, 18));
        height = static_cast<int32_t>(Le32(b, 22));
        bpp = Le16(b, 28);
        compression = Le32(b, 30);
    } else {
        return Fail(BmpError::Unsupported, detail, "unknown info header size");
    }
    if (width <= 0 || height == 0)
        return Fail(BmpError::BadSize, detail, "zero or negative size");
    const int64_t absH = height < 0 ? -height : height;
    if (width > kMaxBmpSide || absH > kMaxBmpSide || width * absH > kMaxBmpPixels)
        return Fail(BmpError::TooLarge, detail, "picture larger than the cap");
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32)
        return Fail(BmpError::Unsupported, detail, "unsupported bit depth");
    if (compression != 0 && compression != 1 && compression != 2 && compression != 3)
        return Fail(BmpError::Unsupported, detail, "unsupported compression");
    if (dataOffset >= b.size())
        return Fail(BmpError::Truncated, detail, "no pixel data");
    if (dataOffset < 14 + static_cast<uint64_t>(dibSize))
        return Fail(BmpError::Truncated, detail, "pixel data would overlap the headers");
    if (compression == 0 || compression == 3) {
        const int64_t stride = ((width * bpp + 31) / 32) * 4;
        if (static_cast<int64_t>(dataOffset) + stride * absH > static_cast<int64_t>(b.size()))
            return Fail(BmpError::Truncated, detail, "pixel data cut short");
    } else {
        // Run-length data has no fixed size, but two bytes cannot honestly
        // stand for more than a few hundred pixels: a tiny file claiming a
        // huge picture is refused before anything is allocated for it.
        const int64_t dataBytes = static_cast<int64_t>(b.size()) - dataOffset;
        if (width * absH > dataBytes * 256)
            return Fail(BmpError::TooLarge, detail, "run-length data far too small for the picture size");
    }
    return BmpError::None;
}

BmpResult DecodeBmp565(const std::vector<uint8_t>& bytes)
{
    BmpResult r;
    r.error = CheckBmpHeader(bytes, &r.detail);
    if (r.error != BmpError::None)
        return r;
    SDL_RWops* rw = SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size()));
    SDL_Surface* raw = rw ? SDL_LoadBMP_RW(rw, 1) : nullptr;
    if (!raw) {
        r.error = BmpError::Decode;
        r.detail = SDL_GetError();
        return r;
    }
    SDL_Surface* argb = SDL_ConvertSurfaceFormat(raw, SDL_PIXELFORMAT_ARGB8888, 0);
    SDL_FreeSurface(raw);
    if (!argb) {
        r.error = BmpError::Decode;
        r.detail = SDL_GetError();
        return r;
    }
    SurfacePtr s = MakeSurface(argb->w, argb->h);
    if (!s) {
        SDL_FreeSurface(argb);
        r.error = BmpError::TooLarge;
        r.detail = "out of memory";
        return r;
    }
    SDL_LockSurface(argb);
    for (int y = 0; y < argb->h; ++y) {
        const uint32_t* src = reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(argb->pixels) + y * argb->pitch);
        uint16_t* dst = s->Row(y);
        for (int x = 0; x < argb->w; ++x) {
            const uint32_t p = src[x];
            dst[x] = Rgb565(static_cast<uint8_t>(p >> 16), static_cast<uint8_t>(p >> 8), static_cast<uint8_t>(p));
        }
    }
    SDL_UnlockSurface(argb);
    SDL_FreeSurface(argb);
    r.surface = std::move(s);
    return r;
}

BmpResult LoadBmp565(const std::filesystem::path& path)
{
    BmpResult r;
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) {
        r.error = BmpError::Missing;
        r.detail = "no such file";
        return r;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        r.error = BmpError::Unreadable;
        r.detail = "cannot open";
        return r;
    }
    // Never read more than the largest legal picture could need.
    const auto size = std::filesystem::file_size(path, ec);
    if (ec || size > static_cast<uintmax_t>(kMaxBmpPixels) * 4 + 4096) {
        r.error = ec ? BmpError::Unreadable : BmpError::TooLarge;
        r.detail = ec ? "cannot read size" : "file larger than the cap";
        return r;
    }
    std::vector<uint8_t> bytes(static_cast<size_t>(size));
    if (size && !in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(size))) {
        r.error = BmpError::Unreadable;
        r.detail = "read failed";
        return r;
    }
    return DecodeBmp565(bytes);
}

} // namespace plat
