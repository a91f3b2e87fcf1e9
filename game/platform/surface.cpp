#include "surface.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace plat {

SurfacePtr MakeSurface(int w, int h)
{
    if (w <= 0 || h <= 0)
        return nullptr;
    if (static_cast<int64_t>(w) * static_cast<int64_t>(h) > kMaxSurfacePixels)
        return nullptr;
    try {
        return std::make_unique<Surface>(w, h);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

static bool Inside(const Rect& r, int w, int h)
{
    return r.left >= 0 && r.top >= 0 && r.right <= w && r.bottom <= h && r.left <= r.right && r.top <= r.bottom;
}

TEV_PIXEL_LOOP
void KeyedCopy(uint16_t* dst, ptrdiff_t dstPitch, const uint16_t* src, ptrdiff_t srcPitch, int w, int h,
               uint16_t key)
{
    KeyedRows(dst, dstPitch, src, srcPitch, w, h, key);
}

TEV_PIXEL_LOOP
void PlainCopy(uint16_t* dst, ptrdiff_t dstPitch, const uint16_t* src, ptrdiff_t srcPitch, int w, int h)
{
    PlainRows(dst, dstPitch, src, srcPitch, w, h);
}

int Blit(Surface* dst, const Rect& dstRect, const Surface* src, const Rect& srcRect, bool useKey)
{
    if (!dst || !src)
        return kErrNoObject;
    if (!Inside(dstRect, dst->w, dst->h) || !Inside(srcRect, src->w, src->h))
        return kErrInvalidRect;
    if (dstRect.Width() != srcRect.Width() || dstRect.Height() != srcRect.Height())
        return kErrInvalidRect;
    const int w = srcRect.Width();
    const int h = srcRect.Height();
    const bool keyed = useKey && src->hasKey;
    const uint16_t key = src->key;
    if (src != dst) {
        uint16_t* d = dst->Row(dstRect.top) + dstRect.left;
        const uint16_t* s = src->Row(srcRect.top) + srcRect.left;
        if (keyed)
            KeyedCopy(d, dst->w, s, src->w, w, h, key);
        else
            PlainCopy(d, dst->w, s, src->w, w, h);
        return kOk;
    }
    // Copy through a temporary row when a surface is blitted onto itself.
    std::vector<uint16_t> tmp;
    for (int y = 0; y < h; ++y) {
        const uint16_t* s = src->Row(srcRect.top + y) + srcRect.left;
        uint16_t* d = dst->Row(dstRect.top + y) + dstRect.left;
        tmp.assign(s, s + w);
        if (!keyed)
            std::copy(tmp.begin(), tmp.end(), d);
        else
            KeyedCopy(d, 0, tmp.data(), 0, w, 1, key);
    }
    return kOk;
}

int Fill(Surface* s, uint16_t colour)
{
    if (!s)
        return kErrNoObject;
    std::fill(s->px.begin(), s->px.end(), colour);
    return kOk;
}

int FillRect(Surface* s, const Rect& r, uint16_t colour)
{
    if (!s)
        return kErrNoObject;
    const int l = std::max(0, r.left), t = std::max(0, r.top);
    const int rr = std::min(s->w, r.right), b = std::min(s->h, r.bottom);
    for (int y = t; y < b; ++y)
        std::fill(s->Row(y) + l, s->Row(y) + std::max(l, rr), colour);
    return kOk;
}

void Expand565(uint16_t p, uint8_t& r, uint8_t& g, uint8_t& b)
{
    const uint8_t r5 = (p >> 11) & 0x1F, g6 = (p >> 5) & 0x3F, b5 = p & 0x1F;
    r = static_cast<uint8_t>((r5 << 3) | (r5 >> 2));
    g = static_cast<uint8_t>((g6 << 2) | (g6 >> 4));
    b = static_cast<uint8_t>((b5 << 3) | (b5 >> 2));
}

} // namespace plat
