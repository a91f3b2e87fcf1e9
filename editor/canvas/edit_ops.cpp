// The edit operations of the canvas: each changes the records of the edit
// layer and its layer picture together; RedrawRegion then refreshes the
// touched rectangle of the composite from the layer pictures.
//
// Cells are addressed from the index of the area's top-left cell. An area
// that reaches past the map's right or bottom edge writes only the cells
// inside the map: it never wraps into the next row or runs past the arrays.
#include "canvas.h"

#include "shell/main_form.h"

#include "platform/blit.h"

#include <cmath>

namespace tilesmith {

int Canvas::mapWidth() const
{
    return M.TileCount > 0 ? int(M.MapWidth.number()) : 0;
}

int Canvas::mapHeight() const
{
    return M.TileCount > 0 ? int(M.MapHeight.number()) : 0;
}

TileRec* Canvas::record(int layer, int i)
{
    if (layer < 1 || layer > TileLayers || i < 0 || i >= M.TileCount)
        return nullptr;
    std::vector<TileRec>& lay = M.LayData(layer);
    if (i >= int(lay.size()))
        return nullptr;
    return &lay[size_t(i)];
}

// A box whose corner lies right of or below the map (left there by a switch
// to a smaller map) stands on no cell: by index alone it would name a cell
// of another row.
int16_t Canvas::cellIndex(double left, double top) const
{
    if (float(left) / 32.0f >= mapWidth() || float(top) / 32.0f >= mapHeight())
        return -1;
    const double v = std::nearbyint(float(left) / 32.0f + mapWidth() * double(float(top) / 32.0f));
    if (v < 0 || v > 32767)
        return -1;
    return int16_t(v);
}

template <class F> void Canvas::forArea(int i, int cols, int rows, F&& f)
{
    const int W = mapWidth();
    if (W <= 0 || i < 0 || i >= M.TileCount)
        return;
    const int col0 = i % W;
    const int row0 = i / W;
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c) {
            const int j = (row0 + r) * W + col0 + c;
            if (col0 + c < W && j < M.TileCount)
                f(j, c, r);
        }
}

void Canvas::PaintTile(int x, int y, int i)
{
    Main& m = w();
    fr::bitBlt(m.LayPicture(M.EditLay), x, y, 32, 32, m.MainPic->pic(), 0, 0);
    if (TileRec* t = record(M.EditLay, i)) {
        t->srcX = fr::toInt16(M.BrushX);
        t->srcY = M.BrushY;
        t->sheet = M.BrushSheet;
        t->mapX = fr::toInt16(x);
        t->mapY = fr::toInt16(y);
    }
}

bool Canvas::PaintBlock(int x, int y, int i)
{
    Main& m = w();
    const int bw = int(M.BrushWidth);
    const int bh = int(M.BrushHeight);
    fr::bitBlt(m.LayPicture(M.EditLay), x, y, bw, bh, m.MainPic->pic(), 0, 0);
    const int W = mapWidth();
    if (i < 0 || W <= 0)
        return false;
    const double origin = std::nearbyint(float(m.TakeOutStartX) / 32.0 + W * (m.TakeOutStartY.number() / 32));
    const int col0 = i % W;
    const int row0 = i / W;
    for (int r = 0; r < bh / 32; ++r)
        for (int c = 0; c < bw / 32; ++c) {
            if (col0 + c >= W)
                continue;
            const int j = (row0 + r) * W + col0 + c;
            if (j > M.TileCount - 1)
                return false;
            TileRec& t = M.LayData(M.EditLay)[size_t(j)];
            if (M.TakeOutInfo) {
                const double s = origin + r * W + c;
                if (const TileRec* src = s >= 0 && s < M.TileCount ? record(m.TakeOutSrcLay, int(s)) : nullptr) {
                    t.srcX = src->srcX;
                    t.srcY = src->srcY;
                    t.sheet = src->sheet;
                }
            } else {
                t.srcX = fr::toInt16(M.BrushX + 32 * c);
                t.srcY = fr::toInt16(M.BrushY + 32 * r);
                t.sheet = M.BrushSheet;
            }
            t.mapX = int16_t(x + 32 * c);
            t.mapY = int16_t(y + 32 * r);
        }
    return true;
}

void Canvas::EraseTiles(int x, int y, int i)
{
    Main& m = w();
    const int s = m.EraserSize;
    fr::fillKey(m.LayPicture(M.EditLay), QRect(x, y, s, s));
    forArea(i, s / 32, s / 32, [&](int j, int, int) {
        TileRec& t = M.LayData(M.EditLay)[size_t(j)];
        t.srcX = 0;
        t.srcY = 0;
        t.sheet = -1;
        t.mapX = 0;
        t.mapY = 0;
    });
}

void Canvas::MarkEvent(int x, int y, int i)
{
    Main& m = w();
    TileRec* g = record(1, i);
    if (!g)
        return;
    g->event = M.CurEvent;
    fr::transparentBlt(m.Incident_Lay, x, y, 32, 32, m.IncidentPic, 0, 0);
}

void Canvas::MarkObstacle(int x, int y, int i)
{
    Main& m = w();
    TileRec* g = record(1, i);
    if (!g)
        return;
    fr::bitBlt(m.Incident_Lay, x, y, 32, 32, m.ObstaclePic, 0, 0);
    g->obstacle = 1;
    if (g->event != "N")
        fr::transparentBlt(m.Incident_Lay, x, y, 32, 32, m.IncidentPic, 0, 0);
}

void Canvas::EraseEvent(int x, int y, int i)
{
    Main& m = w();
    TileRec* g = record(1, i);
    if (!g)
        return;
    g->event = "N";
    fr::fillKey(m.Incident_Lay, QRect(x, y, 32, 32));
    if (g->obstacle != 0)
        fr::bitBlt(m.Incident_Lay, x, y, 32, 32, m.ObstaclePic, 0, 0);
}

void Canvas::EraseObstacles(int x, int y, int i)
{
    Main& m = w();
    const int s = m.EraserSize;
    fr::fillKey(m.Incident_Lay, QRect(x, y, s, s));
    forArea(i, s / 32, s / 32, [&](int j, int c, int r) {
        TileRec& g = M.GroundLayData[size_t(j)];
        if (g.event != "N")
            fr::bitBlt(m.Incident_Lay, x + 32 * c, y + 32 * r, 32, 32, m.IncidentPic, 0, 0);
        g.obstacle = 0;
    });
}

void Canvas::PaintSprite(int x, int y, int sw, int sh)
{
    Main& m = w();
    fr::transparentBlt(m.Npc_Lay, x, y, sw, sh, m.MainPic->pic(), 0, 0);
    fr::transparentBlt(m.Picture1->pic(), x, y, sw, sh, m.Npc_Lay, x, y);
    m.Picture1->refresh();
}

void Canvas::EraseSprite(int x, int y)
{
    Main& m = w();
    fr::fillKey(m.Npc_Lay, QRect(x, y, m.EraserSize, m.EraserSize));
}

void Canvas::RedrawRegion(int x, int y, Redraw kind)
{
    Main& m = w();
    int cw = 32, ch = 32;     // clearing rectangle
    int npcH = 32;            // copying height of the sprite layer
    int soloLast = 9;         // the highest layer a solo view draws
    switch (kind) {
    case Redraw::Eraser:
        cw = ch = npcH = m.EraserSize;
        break;
    case Redraw::OneCell:
        npcH = 48;
        if (m.SoloView == -1 && M.EditLay == 9)
            ch = 48;
        break;
    case Redraw::Block:
        cw = int(M.BrushWidth);
        ch = npcH = int(M.BrushHeight);
        soloLast = 7;
        break;
    }
    fr::PicImage& out = m.Picture1->pic();
    fr::fillKey(out, QRect(x, y, cw, ch));
    auto lay = [&](int layer) {
        const int h = layer == 9 ? npcH : (kind == Redraw::OneCell ? 32 : ch);
        fr::transparentBlt(out, x, y, cw, h, m.LayPicture(layer), x, y);
    };
    if (m.SoloView == -1) {
        if (M.EditLay >= 1 && M.EditLay <= soloLast)
            lay(M.EditLay);
    } else {
        for (int layer : {1, 2, 3, 4, 9, 5, 6, 7, 8})
            lay(layer);
    }
    m.Picture1->refresh();
}

} // namespace tilesmith
