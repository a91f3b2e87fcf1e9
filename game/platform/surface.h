#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace plat {

struct Rect {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
    int32_t Width() const { return right - left; }
    int32_t Height() const { return bottom - top; }
};

struct Point {
    int32_t x = 0, y = 0;
};

// Result codes of surface operations; negative values are failures, as the
// game tests them.
constexpr int kOk = 0;
constexpr int kErrNoObject = -2005532446;   // a surface that does not exist
constexpr int kErrInvalidRect = -2005532542; // a rectangle outside its surface
constexpr int kErrSurfaceLost = -2005532222; // the display lost its image

// A 16-bit RGB565 picture in memory. Every surface of the game is one of
// these; the display only ever copies one out to the screen.
struct Surface {
    int w = 0;
    int h = 0;
    std::vector<uint16_t> px;
    bool hasKey = false;
    uint16_t key = 0;

    Surface() = default;
    Surface(int width, int height) : w(width), h(height), px(static_cast<size_t>(width) * height) {}
    uint16_t* Row(int y) { return px.data() + static_cast<size_t>(y) * w; }
    const uint16_t* Row(int y) const { return px.data() + static_cast<size_t>(y) * w; }
    Rect Bounds() const { return Rect{0, 0, w, h}; }
};

using SurfacePtr = std::unique_ptr<Surface>;

// Largest surface the game will allocate (in pixels); far above any map.
constexpr int64_t kMaxSurfacePixels = int64_t(1) << 28;

// Allocates a w x h surface; none for non-positive or absurd sizes or when
// memory runs out.
SurfacePtr MakeSurface(int w, int h);

// Copies src's rectangle to dst at the destination rectangle's top-left
// corner. Both rectangles must lie inside their surfaces and be of equal
// size, or nothing is touched and kErrInvalidRect comes back. With useKey,
// pixels equal to the source's key colour are skipped.
int Blit(Surface* dst, const Rect& dstRect, const Surface* src, const Rect& srcRect, bool useKey);

// Pixel loops are built twice, for AVX2 and for any x86-64, and the
// processor's own is chosen when the program starts. TEV_GENERIC_PIXEL_LOOPS
// builds only the second, so tests can run it on a machine with AVX2.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__) && !defined(__SANITIZE_ADDRESS__) && \
    !defined(TEV_GENERIC_PIXEL_LOOPS)
#define TEV_PIXEL_LOOP __attribute__((target_clones("avx2", "default")))
#else
#define TEV_PIXEL_LOOP
#endif

// 16 pixels as one vector: two SSE2 registers on the baseline, one AVX2
// register where the processor has it.
using Pixels = uint16_t __attribute__((vector_size(32)));
constexpr int kLanes = 16;

// Row loops over w x h pixels whose source and destination never overlap
// (pitches in pixels). The keyed copy skips source pixels equal to `key`.
void KeyedCopy(uint16_t* dst, ptrdiff_t dstPitch, const uint16_t* src, ptrdiff_t srcPitch, int w, int h,
               uint16_t key);
void PlainCopy(uint16_t* dst, ptrdiff_t dstPitch, const uint16_t* src, ptrdiff_t srcPitch, int w, int h);

// The same loops for callers that build their own AVX2 and baseline forms
// (TEV_PIXEL_LOOP) and copy many short pieces: always inlined, so they take
// the caller's form. Whole vectors first, the row's rest one by one.
[[gnu::always_inline]] inline void KeyedRows(uint16_t* __restrict dst, ptrdiff_t dstPitch,
                                             const uint16_t* __restrict src, ptrdiff_t srcPitch, int w, int h,
                                             uint16_t key)
{
    const Pixels k = Pixels{} + key;
    for (int y = 0; y < h; ++y) {
        uint16_t* __restrict d = dst + y * dstPitch;
        const uint16_t* __restrict s = src + y * srcPitch;
        int x = 0;
        for (; x + kLanes <= w; x += kLanes) {
            Pixels sv, dv;
            __builtin_memcpy(&sv, s + x, sizeof sv);
            __builtin_memcpy(&dv, d + x, sizeof dv);
            const Pixels out = sv == k ? dv : sv;
            __builtin_memcpy(d + x, &out, sizeof out);
        }
        for (; x < w; ++x)
            d[x] = s[x] == key ? d[x] : s[x];
    }
}

[[gnu::always_inline]] inline void PlainRows(uint16_t* __restrict dst, ptrdiff_t dstPitch,
                                             const uint16_t* __restrict src, ptrdiff_t srcPitch, int w, int h)
{
    for (int y = 0; y < h; ++y) {
        uint16_t* __restrict d = dst + y * dstPitch;
        const uint16_t* __restrict s = src + y * srcPitch;
        int x = 0;
        for (; x + kLanes <= w; x += kLanes)
            __builtin_memcpy(d + x, s + x, sizeof(Pixels));
        for (; x < w; ++x)
            d[x] = s[x];
    }
}

// Fills the whole surface (or a rectangle, clipped to it) with one colour.
int Fill(Surface* s, uint16_t colour);
int FillRect(Surface* s, const Rect& r, uint16_t colour);

// RGB565 helpers.
constexpr uint16_t Rgb565(uint8_t r, uint8_t g, uint8_t b)
{
    return static_cast<uint16_t>(((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3));
}
// A COLORREF is 0x00BBGGRR.
constexpr uint16_t ColorRefTo565(uint32_t c)
{
    return Rgb565(static_cast<uint8_t>(c & 0xFF), static_cast<uint8_t>((c >> 8) & 0xFF),
                  static_cast<uint8_t>((c >> 16) & 0xFF));
}
// Expands to 8 bits per channel by bit replication.
void Expand565(uint16_t p, uint8_t& r, uint8_t& g, uint8_t& b);

} // namespace plat
