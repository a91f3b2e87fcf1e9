// The picture table and the core painter every picture goes through.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>

#include "alert.h"
#include "graph.h"
#include "platform/gbk.h"
#include "platform/platform.h"

using plat::GBK;

namespace {

Rect Intersect(const Rect& a, const Rect& b)
{
    return Rect{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                std::min(a.bottom, b.bottom)};
}

constexpr uint16_t kBlue = 0x001F;

} // namespace

namespace paint {

int64_t TruncSat(float v)
{
    if (std::isnan(v))
        return 0;
    if (v >= 2147483647.0f)
        return std::numeric_limits<int32_t>::max();
    if (v <= -2147483648.0f)
        return std::numeric_limits<int32_t>::min();
    return static_cast<int64_t>(v);
}

Span Cut(int64_t srcW, int64_t srcH, const Rect& r, int64_t dx, int64_t dy, const Rect& clip)
{
    int64_t l = r.left, t = r.top, rr = r.right, b = r.bottom;
    if (l < 0) {
        dx -= l;
        l = 0;
    }
    if (t < 0) {
        dy -= t;
        t = 0;
    }
    rr = std::min<int64_t>(rr, srcW);
    b = std::min<int64_t>(b, srcH);
    if (dx < clip.left) {
        l += clip.left - dx;
        dx = clip.left;
    }
    if (dy < clip.top) {
        t += clip.top - dy;
        dy = clip.top;
    }
    if (dx + (rr - l) > clip.right)
        rr = l + (clip.right - dx);
    if (dy + (b - t) > clip.bottom)
        b = t + (clip.bottom - dy);
    return Span{l, t, rr - l, b - t, dx, dy};
}

} // namespace paint

using paint::Cut;
using paint::Span;
using paint::TruncSat;

int RectOverlap(const RectF& a, const RectF& b)
{
    auto in = [](float x, float y, const RectF& r) {
        return x >= r.left && x <= r.right && y >= r.top && y <= r.bottom;
    };
    return in(a.left, a.top, b) || in(a.right, a.bottom, b) || in(b.left, b.top, a) || in(b.right, b.bottom, a)
               ? 1
               : 0;
}

// ------------------------------------------------------------- the table
PICRESOURCESTRUCT Graph::LoadPicture(const std::string& path, int32_t id)
{
    PICRESOURCESTRUCT pic;
    pic.surface = CreatePicture(path);
    pic.name = id;
    SetKeyColour(pic.surface);
    if (pic.surface) {
        pic.width = pic.surface->w;
        pic.height = pic.surface->h;
    }
    return pic;
}

PICRESOURCESTRUCT& Graph::getpicre(int32_t id)
{
    for (auto& pic : pictures)
        if (pic.name == id)
            return pic;
    Alert(GBK("资源图库中没有此资源! LPDIRECTDRAWSURFACE7 Graph::getpicre(PicResourceName name) 失败!"));
    AlertInt(id);
    if (!pictures.empty())
        return pictures[0];
    // Nothing is loaded yet: an entry without a picture, never a stray one.
    static PICRESOURCESTRUCT none;
    none = PICRESOURCESTRUCT{};
    return none;
}

int32_t Graph::GetPicIndex(int32_t id)
{
    for (size_t i = 0; i < pictures.size(); ++i)
        if (pictures[i].name == id)
            return static_cast<int32_t>(i);
    Alert(GBK("资源图库中没有此资源! LPDIRECTDRAWSURFACE7 Graph::getpicre(PicResourceName name) 失败!"));
    return 0;
}

int32_t Graph::RectIndexPicture(int32_t id, int32_t left, int32_t top, int32_t width, int32_t height,
                                int32_t cellWidth, int32_t cellHeight)
{
    PICRESOURCESTRUCT& pic = getpicre(id);
    pic.rects.clear();
    pic.MaxCounts = 0;
    // A picture that never loaded has no cells; nor has a sheet cut into
    // cells of no size.
    if (!pic.surface || cellWidth <= 0 || cellHeight <= 0 || width <= 0 || height <= 0)
        return 0;
    const int64_t cols = width / cellWidth;
    const int64_t rows = height / cellHeight;
    // One cell per pixel is already more than any sheet has.
    if (cols * rows > static_cast<int64_t>(pic.width) * pic.height) {
        Alert(GBK("资源图切分格子过多！"));
        AlertInt(id);
        return 0;
    }
    pic.rects.reserve(static_cast<size_t>(cols * rows));
    for (int64_t r = 0; r < rows; ++r)
        for (int64_t c = 0; c < cols; ++c)
            pic.rects.push_back(Rect{static_cast<int32_t>(left + c * cellWidth),
                                     static_cast<int32_t>(top + r * cellHeight),
                                     static_cast<int32_t>(left + (c + 1) * cellWidth),
                                     static_cast<int32_t>(top + (r + 1) * cellHeight)});
    pic.MaxCounts = static_cast<int32_t>(pic.rects.size());
    return 0;
}

bool Graph::GetCell(int32_t id, int32_t index, Rect* cell)
{
    PICRESOURCESTRUCT& pic = getpicre(id);
    if (!pic.surface)
        return false; // its load already said why
    if (index < 0 || index >= pic.MaxCounts || static_cast<size_t>(index) >= pic.rects.size()) {
        ReportBadCell(id, index);
        return false;
    }
    *cell = pic.rects[static_cast<size_t>(index)];
    return true;
}

void Graph::ReportBadCell(int32_t id, int32_t index)
{
    const auto key = std::make_pair(id, index);
    if (std::find(badCells_.begin(), badCells_.end(), key) != badCells_.end())
        return;
    badCells_.push_back(key);
    AlertStr(std::string(GBK("资源图中没有这一格！图号")) + std::to_string(id) + GBK("，格") + std::to_string(index));
}

// ------------------------------------------------------------- painting
int Graph::Paint(Surface* dest, Surface* src, Rect rect, float x, float y, int32_t key, int32_t alpha,
                 int32_t stipple, const Rect* clip)
{
    if (!dest || !src)
        return plat::kErrNoObject;
    const Rect c = Intersect(clip ? *clip : dest->Bounds(), dest->Bounds());
    const Span s = Cut(src->w, src->h, rect, TruncSat(x), TruncSat(y), c);
    if (s.Empty() || c.right <= c.left || c.bottom <= c.top)
        return 0;
    const Rect from{static_cast<int32_t>(s.sl), static_cast<int32_t>(s.st), static_cast<int32_t>(s.sl + s.w),
                    static_cast<int32_t>(s.st + s.h)};
    if (alpha < 0 || alpha > 32) {
        const Rect to{static_cast<int32_t>(s.dx), static_cast<int32_t>(s.dy), static_cast<int32_t>(s.dx + s.w),
                      static_cast<int32_t>(s.dy + s.h)};
        const int r = plat::Blit(dest, to, src, from, key != 0);
        return r < 0 ? r : 0;
    }
    if (g_SoftAlpha == 0)
        return Paint(dest, src, from, static_cast<float>(s.dx), static_cast<float>(s.dy), key, -1, 0, nullptr);
    BlendPaint(src, dest, from, static_cast<float>(s.dx), static_cast<float>(s.dy), alpha, stipple, key);
    return 0;
}

int Graph::PaintPic(Surface* dest, int32_t id, Rect rect, float x, float y, int32_t key, int32_t alpha,
                    int32_t stipple)
{
    return Paint(dest, getpicre(id).surface, rect, x, y, key, alpha, stipple, nullptr);
}

namespace {

// Per-channel (s*a + d*(32-a)) >> 5 of two RGB565 pixels. With a + b = 32
// no channel's sum leaves 16 bits, so vectors of 16-bit lanes hold it.
template <class T>
[[gnu::always_inline]] inline T Mix(T s, T d, T a, T b)
{
    const T r = (((s >> 11) * a + (d >> 11) * b) >> 5) << 11;
    const T g = ((((s >> 5) & 63) * a + ((d >> 5) & 63) * b) >> 5) << 5;
    const T bl = ((s & 31) * a + (d & 31) * b) >> 5;
    return r | g | bl;
}

// The same for 16 pixels at once, as d + ((s - d) * a >> 5) per channel:
// (s*a + d*(32-a)) / 32 is d + (s-d)*a/32, and d is whole, so rounding
// down either gives the same; the difference times a fits 16 signed bits.
[[gnu::always_inline]] inline plat::Pixels MixPixels(plat::Pixels s, plat::Pixels d, plat::Pixels a)
{
    using Signed = int16_t __attribute__((vector_size(32)));
    using plat::Pixels;
    const Signed sa = (Signed)a;
    const Signed sr = (Signed)(s >> 11), dr = (Signed)(d >> 11);
    const Signed sg = (Signed)((s >> 5) & 63), dg = (Signed)((d >> 5) & 63);
    const Signed sb = (Signed)(s & 31), db = (Signed)(d & 31);
    const Pixels r = (Pixels)(dr + (((sr - dr) * sa) >> 5));
    const Pixels g = (Pixels)(dg + (((sg - dg) * sa) >> 5));
    const Pixels b = (Pixels)(db + (((sb - db) * sa) >> 5));
    return (r << 11) | (g << 5) | b;
}

// The per-channel average (s + d) >> 1, the remainders dropped, in one step:
// halve both without their channels' low bits and add back the bit both had.
template <class T>
[[gnu::always_inline]] inline T Average(T s, T d)
{
    return ((s & 0xF7DE) >> 1) + ((d & 0xF7DE) >> 1) + (s & d & 0x0821);
}

// Rows of source and destination never overlap (a surface blended onto
// itself is read from a copy). Whole vectors first, the rest one by one.
template <bool kHalf, bool kKey, bool kStipple>
[[gnu::always_inline]] inline void BlendRow(const uint16_t* __restrict s, uint16_t* __restrict d, int n, uint16_t a, int parity)
{
    using plat::Pixels;
    const uint16_t b = static_cast<uint16_t>(32 - a);
    const Pixels av = Pixels{} + a, blue = Pixels{} + kBlue;
    // Lanes that keep the source pixel under the stipple: every other one,
    // starting as the parity says; the pattern repeats with every vector.
    Pixels odd;
    for (int i = 0; i < plat::kLanes; ++i)
        odd[i] = static_cast<uint16_t>((i + parity) & 1);
    const auto keepSource = odd != Pixels{};
    int j = 0;
    for (; j + plat::kLanes <= n; j += plat::kLanes) {
        Pixels sp, dp;
        std::memcpy(&sp, s + j, sizeof sp);
        std::memcpy(&dp, d + j, sizeof dp);
        Pixels out = kHalf ? Average(sp, dp) : MixPixels(sp, dp, av);
        if constexpr (kStipple)
            out = keepSource ? sp : out;
        if constexpr (kKey)
            out = sp == blue ? dp : out;
        std::memcpy(d + j, &out, sizeof out);
    }
    for (; j < n; ++j) {
        const uint16_t sp = s[j];
        const uint16_t dp = d[j];
        uint16_t out = static_cast<uint16_t>(kHalf ? Average<uint32_t>(sp, dp) : Mix<uint32_t>(sp, dp, a, b));
        if constexpr (kStipple)
            out = ((j + parity) & 1) ? sp : out;
        if constexpr (kKey)
            out = sp == kBlue ? dp : out;
        d[j] = out;
    }
}

// The rows' loops are built in the processor's best form (the row above is
// inlined into each).
TEV_PIXEL_LOOP
void BlendRows(const Surface& src, Surface& dst, const Span& s, uint16_t a, bool key, bool stipple, int64_t i0,
               int64_t j0)
{
    const bool half = a == 16;
    for (int64_t i = 0; i < s.h; ++i) {
        const uint16_t* sr = src.Row(static_cast<int>(s.st + i)) + s.sl;
        uint16_t* dr = dst.Row(static_cast<int>(s.dy + i)) + s.dx;
        const int parity = static_cast<int>((i0 + i + j0) & 1);
        const int n = static_cast<int>(s.w);
        if (half) {
            if (key && stipple)
                BlendRow<true, true, true>(sr, dr, n, a, parity);
            else if (key)
                BlendRow<true, true, false>(sr, dr, n, a, parity);
            else if (stipple)
                BlendRow<true, false, true>(sr, dr, n, a, parity);
            else
                BlendRow<true, false, false>(sr, dr, n, a, parity);
        } else if (key && stipple) {
            BlendRow<false, true, true>(sr, dr, n, a, parity);
        } else if (key) {
            BlendRow<false, true, false>(sr, dr, n, a, parity);
        } else if (stipple) {
            BlendRow<false, false, true>(sr, dr, n, a, parity);
        } else {
            BlendRow<false, false, false>(sr, dr, n, a, parity);
        }
    }
}

} // namespace

void Graph::BlendPaint(Surface* src, Surface* dest, Rect rect, float x, float y, int32_t alpha, int32_t stipple,
                       int32_t key)
{
    if (!src || !dest)
        return;
    const uint16_t a = static_cast<uint16_t>(std::clamp(alpha, 0, 32));
    const Span s = Cut(src->w, src->h, rect, TruncSat(x), TruncSat(y), dest->Bounds());
    if (s.Empty())
        return;
    // The stipple's checkerboard stays anchored at the rectangle's corner,
    // however much of it was cut away.
    const int64_t j0 = s.sl - rect.left;
    const int64_t i0 = s.st - rect.top;
    if (src == dest) {
        // Blending a surface onto itself reads the pixels as they were.
        Surface copy = *src;
        BlendRows(copy, *dest, s, a, key != 0, stipple != 0, i0, j0);
        return;
    }
    BlendRows(*src, *dest, s, a, key != 0, stipple != 0, i0, j0);
}

int32_t Graph::ReplaceColour(Surface* surface, Rect rect, int32_t from, uint16_t to, int32_t stipple,
                             int32_t keyProtect)
{
    if (!surface)
        return 0;
    // Only the part inside the surface is touched; the checkerboard still
    // counts from the rectangle's own corner.
    const Rect r = Intersect(rect, surface->Bounds());
    int32_t replaced = 0;
    for (int64_t y = r.top; y < r.bottom; ++y) {
        uint16_t* row = surface->Row(static_cast<int>(y));
        for (int64_t x = r.left; x < r.right; ++x) {
            uint16_t& p = row[x];
            if (keyProtect && p == kBlue)
                continue;
            if (stipple && (((y - rect.top) + (x - rect.left)) & 1))
                continue;
            if (from < 0) {
                p = to;
            } else if (p == static_cast<uint32_t>(from)) {
                p = to;
                replaced = 1;
            }
        }
    }
    return replaced;
}
