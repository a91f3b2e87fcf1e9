#include "blit.h"

#include <QPainter>

#include <cstring>

namespace fr {
namespace {

struct Span {
    int dx, dy, sx, sy, w, h;
};

// Clips the block to the source first and then to the destination, moving
// the other side by the same amount. Returns false when nothing of the block
// lies inside the source.
bool clip(Span& s, int srcW, int srcH, int dstW, int dstH, bool& empty)
{
    empty = true;
    if (s.w <= 0 || s.h <= 0)
        return true;
    auto cut = [](int& a, int& b, int& len, int limit) {
        if (a < 0) {
            b -= a;
            len += a;
            a = 0;
        }
        if (a + len > limit)
            len = limit - a;
    };
    cut(s.sx, s.dx, s.w, srcW);
    cut(s.sy, s.dy, s.h, srcH);
    if (s.w <= 0 || s.h <= 0)
        return false;
    cut(s.dx, s.sx, s.w, dstW);
    cut(s.dy, s.sy, s.h, dstH);
    empty = s.w <= 0 || s.h <= 0;
    return true;
}

void fillRect(QImage& dst, const Span& s, QRgb c)
{
    for (int y = 0; y < s.h; ++y) {
        auto* row = reinterpret_cast<QRgb*>(dst.scanLine(s.dy + y)) + s.dx;
        std::fill(row, row + s.w, c);
    }
}

bool sameRgb(QRgb a, QRgb b)
{
    return (a & 0xFFFFFF) == (b & 0xFFFFFF);
}

} // namespace

bool bitBlt(QImage& dst, int dx, int dy, int w, int h, const QImage& src, int sx, int sy)
{
    Span s{dx, dy, sx, sy, w, h};
    bool empty = true;
    if (!clip(s, src.width(), src.height(), dst.width(), dst.height(), empty))
        return false;
    if (empty)
        return true;
    for (int y = 0; y < s.h; ++y)
        std::memmove(reinterpret_cast<QRgb*>(dst.scanLine(s.dy + y)) + s.dx,
                    reinterpret_cast<const QRgb*>(src.constScanLine(s.sy + y)) + s.sx, static_cast<size_t>(s.w) * 4);
    return true;
}

bool transparentBlt(QImage& dst, int dx, int dy, int w, int h, const QImage& src, int sx, int sy, QRgb key)
{
    Span s{dx, dy, sx, sy, w, h};
    bool empty = true;
    if (!clip(s, src.width(), src.height(), dst.width(), dst.height(), empty))
        return false;
    if (empty)
        return true;
    const QRgb k = key & 0xFFFFFF;
    for (int y = 0; y < s.h; ++y) {
        auto* d = reinterpret_cast<QRgb*>(dst.scanLine(s.dy + y)) + s.dx;
        const auto* p = reinterpret_cast<const QRgb*>(src.constScanLine(s.sy + y)) + s.sx;
        // Written as a select so the compiler can do it many pixels at a time.
        for (int x = 0; x < s.w; ++x) {
            const QRgb v = p[x];
            d[x] = (v & 0xFFFFFF) != k ? v | 0xFF000000u : d[x];
        }
    }
    return true;
}

bool bitBlt(PicImage& dst, int dx, int dy, int w, int h, const PicImage& src, int sx, int sy)
{
    if (src.isBlank()) {
        Span s{dx, dy, sx, sy, w, h};
        bool empty = true;
        if (!clip(s, src.width(), src.height(), dst.width(), dst.height(), empty))
            return false;
        if (!empty && !(dst.isBlank() && sameRgb(dst.back(), src.back())))
            fillRect(dst.image(), s, src.back());
        return true;
    }
    return bitBlt(dst.image(), dx, dy, w, h, src.realImage(), sx, sy);
}

bool transparentBlt(PicImage& dst, int dx, int dy, int w, int h, const PicImage& src, int sx, int sy, QRgb key)
{
    if (src.isBlank()) {
        Span s{dx, dy, sx, sy, w, h};
        bool empty = true;
        if (!clip(s, src.width(), src.height(), dst.width(), dst.height(), empty))
            return false;
        if (!empty && !sameRgb(src.back(), key) && !(dst.isBlank() && sameRgb(dst.back(), src.back())))
            fillRect(dst.image(), s, src.back());
        return true;
    }
    return transparentBlt(dst.image(), dx, dy, w, h, src.realImage(), sx, sy, key);
}

void stretch(QImage& dst, const QRectF& to, const QImage& src, const QRect& from)
{
    QPainter p(&dst);
    p.setRenderHint(QPainter::SmoothPixmapTransform, false);
    p.drawImage(to, src, QRectF(from));
}

void fillKey(PicImage& pic, const QRect& r)
{
    const QRect c = r.intersected(QRect(0, 0, pic.width(), pic.height()));
    if (c.isEmpty() || (pic.isBlank() && sameRgb(pic.back(), keyColour)))
        return;
    Span s{c.x(), c.y(), 0, 0, c.width(), c.height()};
    fillRect(pic.image(), s, keyColour);
}

} // namespace fr
