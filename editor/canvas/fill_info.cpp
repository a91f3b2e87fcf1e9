// The layer fill (the whole edit layer covered with the brush, or cleared
// with the eraser) and the tile information panel.
#include "canvas.h"

#include "shell/main_form.h"

#include "platform/blit.h"
#include "platform/gbk.h"

#include <QLabel>

#include <cmath>

namespace tilesmith {

void Canvas::recomposite()
{
    Main& m = w();
    if (m.SoloView == -1)
        m.SoloComposite(M.EditLay);
    else
        m.FullComposite();
}

void Canvas::Menu_FillAll_Click()
{
    Main& m = w();
    m.markEdited();
    // The composite is laid anew at the end: nothing of it needs keeping
    // while the layer changes.
    m.Picture1->pic().cls();
    m.MainPic->pic().setPicture(m.MainPic->pic().snapshot());
    const int W = mapWidth();
    const int H = mapHeight();
    const int lay = M.EditLay;
    if (W > 0 && H > 0) {
        if (M.EraserMode == -1) {
            m.EraPic.setPicture(m.EraPic.snapshot());
            if (lay >= 1 && lay <= 8) {
                fr::fillKey(m.LayPicture(lay), QRect(0, 0, W * 32, H * 32));
                for (int i = 0; i < W * H; ++i) {
                    TileRec& t = M.LayData(lay == 8 ? 1 : lay)[size_t(i)];
                    if (lay == 8) {
                        t.obstacle = 0;
                    } else {
                        t.srcX = t.srcY = t.mapX = t.mapY = 0;
                        t.sheet = -1;
                    }
                }
            }
        } else if (!M.LargeMode) {
            if (lay >= 1 && lay <= 7) {
                std::vector<TileRec>& data = M.LayData(lay);
                const int16_t sx = fr::toInt16(M.BrushX);
                for (int y = 0; y < H; ++y)
                    for (int x = 0; x < W; ++x) {
                        fr::bitBlt(m.LayPicture(lay), x * 32, y * 32, 32, 32, m.MainPic->pic(), 0, 0);
                        TileRec& t = data[size_t(x + W * y)];
                        t.srcX = sx;
                        t.srcY = M.BrushY;
                        t.sheet = M.BrushSheet;
                        t.mapX = int16_t(x * 32);
                        t.mapY = int16_t(y * 32);
                    }
            }
        } else if (lay >= 1 && lay <= 7) {
            blockFill(lay, W, H);
        }
    }
    recomposite();
    m.hideAndShow();
}

// Copies of the block brush on a grid from the map's corner. A block at the
// right or bottom edge writes its records one block further left or up. A
// brush under one cell would never advance, and one larger than the map
// would put its records before the map: both leave the layer alone.
void Canvas::blockFill(int lay, int W, int H)
{
    Main& m = w();
    const int bw = int(M.BrushWidth);
    const int bh = int(M.BrushHeight);
    if (bw < 32 || bh < 32 || bw > W * 32 || bh > H * 32)
        return;
    std::vector<TileRec>& data = M.LayData(lay);
    // The copies are kept as draws of the brush, made when shown: the
    // records may tell another picture (a region copied off the fill's grid
    // drifts), so the layer's tiles could not give their pixels back.
    fr::PicImage& pic = m.LayPicture(lay);
    uint8_t brush = 0;
    const bool asDraws = m.AddLayerSource(lay, m.MainPic->pic().snapshot(), brush);
    const double origin = std::nearbyint(float(m.TakeOutStartX) / 32.0 + W * (m.TakeOutStartY.number() / 32));
    for (int y = 0; y <= (H - 1) * 32; y += bh)
        for (int x = 0; x <= (W - 1) * 32; x += bw) {
            if (asDraws)
                pic.drawLater(x, y, bw, bh, brush, 0, 0);
            else
                fr::bitBlt(pic, x, y, bw, bh, m.MainPic->pic(), 0, 0);
            const int ax = x + bw > W * 32 ? x - bw : x;
            const int ay = y + bh > H * 32 ? y - bh : y;
            for (int r = 0; r < bh / 32; ++r)
                for (int c = 0; c < bw / 32; ++c) {
                    const int col = ax / 32 + c;
                    const int row = ay / 32 + r;
                    if (col < 0 || row < 0 || col >= W || row >= H)
                        continue;
                    TileRec& t = data[size_t(col + W * row)];
                    if (M.TakeOutInfo) {
                        const double s = origin + c + W * r;
                        if (s >= 0 && s < W * H) {
                            const TileRec src = data[size_t(s)];
                            t.srcX = src.srcX;
                            t.srcY = src.srcY;
                            t.sheet = src.sheet;
                        }
                    } else {
                        t.srcX = fr::toInt16(M.BrushX + 32 * c);
                        t.srcY = fr::toInt16(M.BrushY + 32 * r);
                        t.sheet = M.BrushSheet;
                    }
                    t.mapX = int16_t(ax + 32 * c);
                    t.mapY = int16_t(ay + 32 * r);
                }
        }
}

// ---- Tile information panel ------------------------------------------------------

namespace {

// The instance's value of `var` as a number; false when the list has no
// such attribute or the value is not a number. Looked up without a message:
// the panel is refreshed on every mouse move.
bool instanceNumber(const AttribArray& list, const ValueTable& values, int i, const char* var, double& out)
{
    const int slot = Module2::FindAttribSlot(list, var);
    return slot >= 0 && fr::parseNumber(values[size_t(i)][size_t(slot)], out);
}

} // namespace

void Canvas::ShowTileInfo()
{
    Main& m = w();
    m.ShowMapInfo();
    m.TF_index->setText(QString::number(M.CurIndex));
    const TileRec* g = record(1, M.CurIndex);
    if (g) {
        m.TF_obstacle->setText(QString::number(g->obstacle));
        m.TF_incident->setText(fr::gbk::decode(g->event));
    }
    const double left = m.MainPic->x();
    const double top = m.MainPic->y();
    struct Kind {
        const AttribArray& list;
        const ValueTable& values;
        int count;
        QLabel* label;
        bool whole; // positions compared as 16-bit integers
    };
    for (const Kind& k : {Kind{M.NpcAttribs, M.NpcValues, M.NpcCount, m.TF_anpc, true},
                          Kind{M.MonsterAttribs, M.MonsterValues, M.MonsterCount, m.TF_monster, false}}) {
        const int slot = Module2::FindAttribSlot(k.list, "curpicindex");
        for (int n = 0; n < std::min<int>(k.count, InstanceSlots); ++n) {
            double lx = 0, ly = 0;
            if (!instanceNumber(k.list, k.values, n, "lx", lx) || !instanceNumber(k.list, k.values, n, "ly", ly))
                continue;
            if (k.whole) {
                lx = std::nearbyint(lx);
                ly = std::nearbyint(ly);
            } else {
                lx = float(lx);
                ly = float(ly);
            }
            if (lx != left || ly != top)
                continue;
            const QString frame = slot >= 0 ? fr::gbk::decode(k.values[size_t(n)][size_t(slot)]) : QString();
            k.label->setText(frame + QStringLiteral("(共") + QString::number(k.count) + QStringLiteral("个)"));
        }
    }
    m.TF_largemode->setText(fr::boolText(M.LargeMode));
    m.TF_takeoutmode->setText(fr::boolText(M.TakeOutMode != 0));
    m.TF_takeoutinfo->setText(fr::boolText(M.TakeOutInfo));
    m.TF_takeoutsrclay->setText(QString::number(m.TakeOutSrcLay));
    m.TF_lay->setText(QStringLiteral("0"));
    for (int lay = 7; lay >= 1 && g; --lay) {
        const TileRec* t = record(lay, M.CurIndex);
        if (t && t->sheet >= 0) {
            m.TF_ResID->setText(QString::number(t->sheet));
            m.TF_rX->setText(QString::number(t->srcX));
            m.TF_rY->setText(QString::number(t->srcY));
            m.TF_mX->setText(QString::number(t->mapX));
            m.TF_mY->setText(QString::number(t->mapY));
            m.TF_lay->setText(QString::number(lay));
            break;
        }
    }
    fr::PicImage& pre = m.TF_repic->pic();
    pre.setPicture(QImage());
    pre.cls();
    const int sheet = GetNumber(m.TF_ResID->text());
    if (sheet >= 0 && sheet < int(m.ReTempPic.size())) {
        fr::bitBlt(pre.image(), 0, 0, 32, 32, m.ReTempPic[size_t(sheet)].snapshot(), m.TF_rX->text().toInt(),
                   m.TF_rY->text().toInt());
    }
    pre.setPicture(pre.snapshot());
    m.TF_repic->refresh();
}

} // namespace tilesmith
