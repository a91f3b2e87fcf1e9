// The mouse on the map: a press on the cursor box applies the current tool
// there (or starts and drops a region copy), moving over the box steps it
// after the mouse and paints while the left button is held, and the
// composite picture draws the region copy's band and pulls the box along.
#include "canvas.h"

#include "shell/main_form.h"

#include "platform/blit.h"
#include "platform/convert.h"
#include "platform/dialogs.h"
#include "platform/gbk.h"

#include <QFrame>
#include <QLabel>

#include <cmath>

namespace tilesmith {

// ---- Map click ----------------------------------------------------------------

void Canvas::MainPic_MouseDown(int button, int, int x, int y)
{
    Main& m = w();
    const int left = m.MainPic->x();
    const int top = m.MainPic->y();
    M.CurIndex = cellIndex(left, top);
    m.Dragging = -1;
    m.BoxMoved = true;
    m.markEdited();
    m.MainPic->pic().setPicture(m.MainPic->pic().snapshot());
    if (button == 1) {
        if (M.RolePlacing == -1)
            placeSprite(AttribKind::Role);
        else if (M.NpcPlacing == -1)
            placeSprite(AttribKind::Npc);
        else if (M.MonsterPlacing == -1)
            placeSprite(AttribKind::Monster);
        else if (M.EraserMode == -1 && M.EditLay == 9) {
            deletePlacements();
            RedrawRegion(left, top, Redraw::Eraser);
        } else {
            applyEditAt(false);
        }
        return;
    }
    if (button != 2)
        return;
    M.TakeOutMode = -1;
    m.EraserOn = 0;
    M.EraserMode = 0;
    if (M.TakeOutBrush == -1) {
        DropRegionCopy();
        return;
    }
    keepBrush();
    M.LargeMode = true;
    m.MainPic->hide();
    auto snap = [](int p) { return p - (((p % 32) + 32) % 32); };
    m.TakeOutStartX = fr::toInt16(snap(left + x));
    m.TakeOutStartY = fr::NumOrText::fromNumber(snap(top + y));
    m.MainPic_->setBoxSize(m.MainPic->width(), m.MainPic->height());
    fr::bitBlt(m.MainPic_->pic().image(), 0, 0, int(M.BrushWidth), int(M.BrushHeight), m.MainPic->pic().snapshot(), 0,
               0);
    m.MainPic_->pic().setPicture(m.MainPic_->pic().image().copy());
    setBand(m.TakeOutStartX, int(m.TakeOutStartY.number()), m.TakeOutStartX, int(m.TakeOutStartY.number()));
    for (QFrame* line : {m.Line1, m.Line2, m.Line3, m.Line4})
        line->show();
}

// The current tool at the cursor box, as a click and a drag apply it, with
// its redraw. A drag clears BoxMoved after a paint, but not after an erase
// or a block that stopped at the last tile.
void Canvas::applyEditAt(bool drag)
{
    Main& m = w();
    const int left = m.MainPic->x();
    const int top = m.MainPic->y();
    const int i = M.CurIndex;
    const bool inMap = i >= 0 && i < M.TileCount;
    const int lay = M.EditLay;
    if (M.EraserMode == -1) {
        if (lay >= 1 && lay <= 7)
            EraseTiles(left, top, i);
        else if (lay == 8 && M.EventMode == -1)
            EraseEvent(left, top, i);
        else if (lay == 8)
            EraseObstacles(left, top, i);
        else if (lay == 9) {
            EraseSprite(left, top);
            if (M.RolePlacing == -1) {
                M.RoleX = -1;
                M.RoleY = -1;
            }
        }
        RedrawRegion(left, top, Redraw::Eraser);
        return;
    }
    if (!M.LargeMode) {
        if (inMap) {
            if (lay >= 1 && lay <= 7)
                PaintTile(left, top, i);
            else if (lay == 8 && M.EventMode == -1)
                MarkEvent(left, top, i);
            else if (lay == 8)
                MarkObstacle(left, top, i);
        }
        RedrawRegion(left, top, Redraw::OneCell);
        if (drag)
            m.BoxMoved = false;
        return;
    }
    if (lay >= 1 && lay <= 7) {
        if (!PaintBlock(left, top, i))
            return;
    }
    RedrawRegion(left, top, Redraw::Block);
    if (drag)
        m.BoxMoved = false;
}

void Canvas::placeSprite(AttribKind kind)
{
    Main& m = w();
    const TileRec* g = record(1, M.CurIndex);
    struct Text {
        const char* refusal;
        int w, h;
        QByteArray kind;
        int instance;
    };
    const Text t = kind == AttribKind::Role  ? Text{"不能在障碍上设置ROLE!", 32, 48, "role", 0}
                   : kind == AttribKind::Npc ? Text{"不能在障碍上设置活动NPC!", 32, 48, "npc", M.CurNpc}
                                             : Text{"不能在障碍上设置Monster!", 64, 64, "monster", M.CurMonster};
    // Outside the map there is no cell to stand on: nothing is placed.
    if (!g)
        return;
    if (g->obstacle == 1) {
        fr::msgBox(QString::fromUtf8(t.refusal));
        return;
    }
    const int left = m.MainPic->x();
    const int top = m.MainPic->y();
    PaintSprite(left, top, t.w, t.h);
    P.SetAttribValue(t.kind, t.instance, "lx", QByteArray::number(left));
    P.SetAttribValue(t.kind, t.instance, "ly", QByteArray::number(top));
    QString text;
    if (kind == AttribKind::Role)
        text = QStringLiteral("画的是ROLE:") + fr::gbk::decode(P.GetAttribValue("role", 0, "name"));
    else if (kind == AttribKind::Npc)
        text = QStringLiteral("已画 ") + fr::gbk::decode(P.GetAttribValue("npc", -1, "id")) +
               QStringLiteral("号 活动Npc");
    else
        text = QStringLiteral("已画 ") + fr::gbk::decode(P.GetAttribValue("monster", -1, "id")) +
               QStringLiteral("号 活动Monster");
    fr::msgBox(text);
    m.MainPic->pic().cls();
    m.MainPic->refresh();
    m.hide();
    tools_.showScriptEditor();
    tools_.showAttribForm(kind);
}

void Canvas::deletePlacements()
{
    Main& m = w();
    const double left = m.MainPic->x();
    const double top = m.MainPic->y();
    const QString mapName = StripExtension(GetFileName(M.MapPath));
    struct Kind {
        QByteArray kind;
        int count;
        const char* ending;
        const char* suffix;
    };
    for (const Kind& k : {Kind{"npc", M.NpcCount, "的npc吗？", "_npc"},
                          Kind{"monster", M.MonsterCount, "的Monster吗？", "_monster"}}) {
        for (int i = 0; i < k.count; ++i) {
            double lx = 0, ly = 0;
            // A position that is not a number stands nowhere.
            if (!fr::parseNumber(P.GetAttribValue(k.kind, i, "lx"), lx) ||
                !fr::parseNumber(P.GetAttribValue(k.kind, i, "ly"), ly))
                continue;
            if (float(lx) != float(left) || float(ly) != float(top))
                continue;
            const QByteArray id = P.GetAttribValue(k.kind, i, "id");
            const QString question = QStringLiteral("确定删除") + M.CurScriptPath + QStringLiteral("中的ID为:") +
                                     fr::gbk::decode(id) + QString::fromUtf8(k.ending);
            if (fr::msgBox(question, fr::vbYesNo) != fr::vbYes)
                continue;
            EraseSprite(int(left), int(top));
            // A map never saved under a name has no list file to cut from,
            // and an id that is not a number names no statement there.
            int16_t number = 0;
            if (!M.MapPath.isEmpty() && fr::parseWholeInt16(P.GetAttribValue(k.kind, i, "id"), number))
                P.RemoveScriptEntry(mapName + QString::fromLatin1(k.suffix), number);
            P.SetAttribValue(k.kind, i, "id", "-1");
            P.SetAttribValue(k.kind, i, "lx", "-1");
            P.SetAttribValue(k.kind, i, "ly", "-1");
        }
    }
}

// ---- Cursor movement and drag painting ----------------------------------------

void Canvas::MainPic_MouseMove(int button, int, int x, int y)
{
    Main& m = w();
    ShowTileInfo();
    double left = m.MainPic->x();
    double top = m.MainPic->y();
    const bool fine = M.SpinnerMode == 1;
    const double mapW = 32.0 * mapWidth();
    const double mapH = 32.0 * mapHeight();
    if (x < 0 && left - M.StepX >= 0) {
        left -= M.StepX;
        m.BoxMoved = true;
    }
    if (x > (fine ? 32 : M.BrushWidth) && left + M.BrushWidth + M.StepX <= mapW) {
        left += M.StepX;
        m.BoxMoved = true;
    }
    if (y > (fine ? 32 : M.BrushHeight) && top + M.BrushHeight + M.StepY <= mapH) {
        top += M.StepY;
        m.BoxMoved = true;
    }
    if (y < 0 && top - M.StepY >= 0) {
        top -= M.StepY;
        m.BoxMoved = true;
    }
    m.MainPic->move(int(std::lround(left)), int(std::lround(top)));
    M.CurIndex = cellIndex(m.MainPic->x(), m.MainPic->y());
    if (!m.BoxMoved)
        return;
    if (button != 1 || m.Dragging != -1 || M.NpcPlacing != 0) {
        m.BoxMoved = false;
        return;
    }
    applyEditAt(true);
}

// ---- Region copy --------------------------------------------------------------

void Canvas::setBand(int sx, int sy, int x, int y)
{
    Main& m = w();
    auto line = [](QFrame* f, int x1, int y1, int x2, int y2) {
        f->setGeometry(std::min(x1, x2), std::min(y1, y2), std::abs(x2 - x1) + 1, std::abs(y2 - y1) + 1);
        f->raise();
    };
    line(m.Line1, sx, sy, sx, y);
    line(m.Line2, sx, sy, x, sy);
    line(m.Line3, x, sy, x, y);
    line(m.Line4, sx, y, x, y);
    bandEnd_ = QPoint(x, y);
}

void Canvas::keepBrush()
{
    kept_ = {M.BrushX, M.BrushY, M.BrushSheet, M.BrushSheetName, M.BrushWidth, M.BrushHeight,
             M.LargeMode, M.TakeOutInfo, M.SpinnerMode, M.StepX, M.StepY};
}

void Canvas::restoreBrush()
{
    M.BrushX = kept_.x;
    M.BrushY = kept_.y;
    M.BrushSheet = kept_.sheet;
    M.BrushSheetName = kept_.sheetName;
    M.BrushWidth = kept_.width;
    M.BrushHeight = kept_.height;
    M.LargeMode = kept_.large;
    M.TakeOutInfo = kept_.takeOutInfo;
    M.SpinnerMode = kept_.spinner;
    M.StepX = kept_.stepX;
    M.StepY = kept_.stepY;
}

void Canvas::Picture1_MouseMove(int, int, int x, int y)
{
    Main& m = w();
    if (M.TakeOutMode == -1) {
        setBand(m.TakeOutStartX, int(m.TakeOutStartY.number()), x, y);
        return;
    }
    double left = m.MainPic->x();
    double top = m.MainPic->y();
    if (x < left && left - M.StepX >= 0)
        left -= M.StepX;
    if (x > left + M.BrushWidth && x + M.StepX - 32 <= 32.0 * mapWidth())
        left += M.StepX;
    if (y > top + M.BrushHeight && y + M.StepY - 32 <= 32.0 * mapHeight())
        top += M.StepY;
    if (y < top && top - M.StepY >= 0)
        top -= M.StepY;
    m.MainPic->move(int(std::lround(left)), int(std::lround(top)));
    m.MainPic->show();
}

void Canvas::Picture1_MouseDown(int button, int, int, int)
{
    Main& m = w();
    // Only an armed region copy is finished or cancelled: a press beside the
    // cursor box otherwise leaves the brush alone.
    if (M.TakeOutMode != -1)
        return;
    if (button == 1) {
        M.TakeOutMode = 0;
        M.TakeOutInfo = true;
        M.SpinnerMode = 1;
        m.MainPic->show();
        hideBand();
        const int fx = bandEnd_.x();
        const int fy = bandEnd_.y();
        double bw = fx - m.TakeOutStartX;
        double bh = fy - m.TakeOutStartY.number();
        if (bw < 0) {
            bw = -bw;
            m.TakeOutStartX = fr::toInt16(fx);
        }
        if (bh < 0) {
            bh = -bh;
            m.TakeOutStartY = fr::NumOrText::fromNumber(fy);
        }
        auto snap = [](double size) {
            const int v = int(size);
            const int r = v % 32;
            if (r == 0)
                return v;
            return r <= 16 ? v - r : v - r + 32;
        };
        M.BrushWidth = snap(bw);
        M.BrushHeight = snap(bh);
        M.StepX = 32;
        M.StepY = 32;
        m.MainPic->setBoxSize(int(M.BrushWidth), int(M.BrushHeight));
        m.MainPic->move(0, 0);
        M.BrushX = m.TakeOutStartX;
        M.BrushY = fr::toInt16(m.TakeOutStartY.number());
        M.BrushSheet = GetSheetIndex(M.CurSheet);
        M.BrushSheetName = M.CurSheet;
        m.TF_takeoutsrc_rename->setText(M.BrushSheetName);
        m.TF_takeoutsrc_rX->setText(fr::numText(M.BrushX));
        m.TF_takeoutsrc_rY->setText(QString::number(M.BrushY));
        if (M.EditLay >= 1 && M.EditLay <= 7)
            m.LayPicture(M.EditLay).copyTo(m.MainPic->pic().image(), 0, 0, int(M.BrushWidth), int(M.BrushHeight),
                                           m.TakeOutStartX, M.BrushY);
        m.MainPic->pic().setPicture(m.MainPic->pic().snapshot());
        m.MainPic->refresh();
        // Main.MainPic_ keeps the cursor from before the region copy: it is
        // what dropping the block or cancelling gives back.
        M.TakeOutBrush = -1;
        m.TakeOutSrcLay = M.EditLay;
        return;
    }
    if (button != 2)
        return;
    m.MainPic_->pic().setPicture(m.MainPic_->pic().snapshot());
    DropRegionCopy();
}

void Canvas::DropRegionCopy()
{
    if (M.TakeOutMode != -1 && M.TakeOutBrush != -1)
        return;
    Main& m = w();
    M.TakeOutMode = 0;
    M.TakeOutBrush = 0;
    m.MainPic->setBoxSize(m.MainPic_->width(), m.MainPic_->height());
    m.MainPic->pic().setPicture(m.MainPic_->pic().snapshot());
    m.MainPic->move(0, 0);
    m.MainPic->show();
    m.MainPic->refresh();
    hideBand();
    // The kept cursor comes back with the brush it showed.
    restoreBrush();
}

} // namespace tilesmith
