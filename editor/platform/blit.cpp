#include "blit.h"

#include <QPainter>

#include <cstring>

namespace fr {

bool clipBlock(Block& s, QSize src, QSize dst, bool& empty)
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
    cut(s.sx, s.dx, s.w, src.width());
    cut(s.sy, s.dy, s.h, src.height());
    if (s.w <= 0 || s.h <= 0)
        return false;
    cut(s.dx, s.sx, s.w, dst.width());
    cut(s.dy, s.sy, s.h, dst.height());
    empty = s.w <= 0 || s.h <= 0;
    return true;
}

void fillBlock(QImage& dst, const QRect& r, QRgb c)
{
    for (int y = r.top(); y <= r.bottom(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(dst.scanLine(y)) + r.left();
        std::fill(row, row + r.width(), c);
    }
}

bool bitBlt(QImage& dst, int dx, int dy, int w, int h, const QImage& src, int sx, int sy)
{
    Block s{dx, dy, sx, sy, w, h};
    bool empty = true;
    if (!clipBlock(s, src.size(), dst.size(), empty))
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
    Block s{dx, dy, sx, sy, w, h};
    bool empty = true;
    if (!clipBlock(s, src.size(), dst.size(), empty))
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
    return src.copyTo(dst, dx, dy, w, h, sx, sy);
}

bool transparentBlt(PicImage& dst, int dx, int dy, int w, int h, const PicImage& src, int sx, int sy, QRgb key)
{
    return src.copyTo(dst, dx, dy, w, h, sx, sy, true, key);
}

void stretch(QImage& dst, const QRectF& to, const QImage& src, const QRect& from)
{
    QPainter p(&dst);
    p.setRenderHint(QPainter::SmoothPixmapTransform, false);
    p.drawImage(to, src, QRectF(from));
}

void fillKey(PicImage& pic, const QRect& r)
{
    pic.fill(r, keyColour);
}

} // namespace fr
