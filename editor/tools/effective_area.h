#pragma once
// The effective area of a frame, marked with one vertical stroke: the
// stroke's x is one edge and its mirror about the frame's middle the other,
// its two ends are the top and the bottom, whichever way it was drawn.
#include <QRect>

#include <cstdlib>

namespace tilesmith {

inline QRect StrokeArea(int frameWidth, int x, int y1, int y2)
{
    int left, width;
    if (frameWidth - 2 * x > 0) {
        left = x;
        width = frameWidth - 2 * x;
    } else {
        left = frameWidth - x;
        width = 2 * x - frameWidth;
    }
    return QRect(left, std::min(y1, y2), width, std::abs(y2 - y1));
}

} // namespace tilesmith
