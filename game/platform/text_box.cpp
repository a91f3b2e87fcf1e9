#include "text.h"

#include <algorithm>
#include <cstdint>

namespace plat {
namespace {

constexpr int kCellW = 8;
constexpr int kCellH = 16;

void PutPixel(Surface& s, int x, int y, uint16_t c, const Rect& clip)
{
    if (x < clip.left || y < clip.top || x >= clip.right || y >= clip.bottom)
        return;
    if (x < 0 || y < 0 || x >= s.w || y >= s.h)
        return;
    s.Row(y)[x] = c;
}

// A hollow box inset one pixel in its cell, with the byte's low bits marked
// inside so different texts give different pictures.
void DrawCell(Surface& s, int x, int y, unsigned char byte, uint16_t c, const Rect& clip, bool underline)
{
    for (int i = 1; i < kCellW - 1; ++i) {
        PutPixel(s, x + i, y + 2, c, clip);
        PutPixel(s, x + i, y + kCellH - 3, c, clip);
    }
    for (int j = 2; j < kCellH - 2; ++j) {
        PutPixel(s, x + 1, y + j, c, clip);
        PutPixel(s, x + kCellW - 2, y + j, c, clip);
    }
    for (int bit = 0; bit < 8; ++bit)
        if (byte & (1 << bit))
            PutPixel(s, x + 3 + (bit & 1), y + 4 + bit, c, clip);
    if (underline)
        for (int i = 0; i < kCellW; ++i)
            PutPixel(s, x + i, y + kCellH - 1, c, clip);
}

} // namespace

int BoxTextRenderer::DrawTextRect(Surface& dst, std::string_view gbk, const Rect& r, const FontSpec& font,
                                  uint32_t colorref)
{
    const uint16_t c = ColorRefTo565(colorref);
    const int lineH = std::max(1, font.height);
    // Past these nothing shows: the pen stops there, so a box placed at the
    // far end of the number range never moves it beyond.
    const int right = std::min(r.right, dst.w);
    const int bottom = std::min(r.bottom, dst.h);
    int64_t x = r.left, y = r.top;
    bool underlineNext = false;
    for (size_t i = 0; i < gbk.size() && y < bottom; ++i) {
        const unsigned char ch = static_cast<unsigned char>(gbk[i]);
        if (ch == '\r' || ch == '\n') {
            if (ch == '\r' && i + 1 < gbk.size() && gbk[i + 1] == '\n')
                ++i;
            x = r.left;
            y += lineH;
            continue;
        }
        if (ch == '&' && !underlineNext) {
            if (i + 1 < gbk.size() && gbk[i + 1] == '&') {
                ++i;
            } else {
                underlineNext = true;
                continue;
            }
        }
        if (x < right) {
            DrawCell(dst, static_cast<int>(x), static_cast<int>(y), ch, c, r, underlineNext);
            x += kCellW;
        }
        underlineNext = false;
    }
    return 0;
}

int BoxTextRenderer::TextOut(Surface& dst, std::string_view gbk, int x, int y, const FontSpec&, uint32_t colorref)
{
    const uint16_t c = ColorRefTo565(colorref);
    const Rect clip = dst.Bounds();
    for (unsigned char ch : gbk) {
        if (x >= clip.right || y >= clip.bottom)
            break;
        DrawCell(dst, x, y, ch, c, clip, false);
        x += kCellW;
    }
    return 0;
}

} // namespace plat
