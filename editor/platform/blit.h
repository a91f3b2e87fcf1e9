#pragma once
// Block transfers between pictures. A block partly outside its source or its
// destination is painted as far as it lies inside both, at the place it
// would have had; destination pixels without a source stay unchanged.
#include "picture.h"

#include <QRect>
#include <QRectF>

namespace fr {

// Plain copy. Returns false when no part of the block lies inside the
// source (nothing could be painted), true otherwise.
bool bitBlt(PicImage& dst, int dx, int dy, int w, int h, const PicImage& src, int sx, int sy);
bool bitBlt(QImage& dst, int dx, int dy, int w, int h, const QImage& src, int sx, int sy);

// Copy that skips source pixels of the transparent colour `key` (compared on
// red, green and blue only).
bool transparentBlt(PicImage& dst, int dx, int dy, int w, int h, const PicImage& src, int sx, int sy,
                    QRgb key = keyColour);
bool transparentBlt(QImage& dst, int dx, int dy, int w, int h, const QImage& src, int sx, int sy,
                    QRgb key = keyColour);

// Scaled copy with nearest-neighbour sampling.
void stretch(QImage& dst, const QRectF& to, const QImage& src, const QRect& from);

// Fills a rectangle (clipped) with the transparent colour.
void fillKey(PicImage& pic, const QRect& r);

// A block of w×h pixels from (sx, sy) of a source to (dx, dy) of a
// destination.
struct Block {
    int dx, dy, sx, sy, w, h;
};
// Clips a block to its source first and then to its destination, moving the
// other side by the same amount. False when no part of it lies inside the
// source; `empty` when nothing is left to paint.
bool clipBlock(Block& b, QSize src, QSize dst, bool& empty);
// Fills a rectangle that lies inside the image.
void fillBlock(QImage& dst, const QRect& r, QRgb c);

} // namespace fr
