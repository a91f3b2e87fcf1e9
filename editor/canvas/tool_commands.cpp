// The commands that only switch the canvas's tool: the eraser and its sizes,
// the event eraser, the obstacle marker, the fine step and the end of a drag.
#include "canvas.h"

#include "shell/main_form.h"

#include "platform/blit.h"

#include <QFrame>

namespace tilesmith {

Canvas::Canvas(Module1& data, Module2& procs, ToolForms& tools, std::function<Main&()> main)
    : M(data), P(procs), tools_(tools), main_(std::move(main))
{
}

void Canvas::hideBand()
{
    Main& m = w();
    for (QFrame* line : {m.Line1, m.Line2, m.Line3, m.Line4})
        line->hide();
}

// Main.MainPic_ takes the cursor box's size and image.
void Canvas::keepCursor()
{
    Main& m = w();
    m.MainPic_->setBoxSize(m.MainPic->width(), m.MainPic->height());
    m.MainPic_->pic().setPicture(m.MainPic->pic().snapshot());
}

// The cursor box takes the kept size and image back. The brush rectangle
// follows the box, so a block brush paints its whole block again rather than
// the size of the tool that borrowed the box.
void Canvas::restoreKeptCursor()
{
    Main& m = w();
    m.MainPic->setBoxSize(m.MainPic_->width(), m.MainPic_->height());
    m.MainPic->pic().setPicture(m.MainPic_->pic().snapshot());
    m.MainPic->refresh();
    M.BrushWidth = m.MainPic->width();
    M.BrushHeight = m.MainPic->height();
}

// The eraser's picture stretched over a box of the brush size.
void Canvas::drawEraserCursor()
{
    Main& m = w();
    const int bw = int(M.BrushWidth);
    const int bh = int(M.BrushHeight);
    m.MainPic->setBoxSize(bw, bh);
    fr::stretch(m.MainPic->pic().image(), QRectF(0, 0, bw, bh), m.EraImage.snapshot(), QRect(0, 0, 32, 32));
    m.MainPic->pic().setPicture(m.MainPic->pic().image().copy());
    m.MainPic->refresh();
}

void Canvas::SwitchEraser()
{
    Main& m = w();
    m.markEdited();
    M.EventMode = 0;
    M.TakeOutMode = 0;
    M.TakeOutBrush = 0;
    m.MainPic->show();
    hideBand();
    if (m.EraserOn >= 1) {
        if (m.ResumeObstacle == 1) {
            m.ObstacleActive = -1;
            M.EditLay = 8;
            M.EditLayText = QStringLiteral("编辑事件层8");
            m.ResumeObstacle = 0;
            // The marker is one cell: the box goes back to its size.
            m.MainPic->setBoxSize(32, 32);
            m.MainPic->pic().setPicture(m.ObstaclePic.snapshot());
            m.MainPic->refresh();
            M.BrushWidth = 32;
            M.BrushHeight = 32;
        } else {
            restoreKeptCursor();
        }
        M.EraserMode = 0;
        m.EraserOn = 0;
        M.LargeMode = M.SavedLargeMode;
        M.TakeOutInfo = M.SavedTakeOutInfo;
        return;
    }
    M.SavedLargeMode = M.LargeMode;
    M.SavedTakeOutInfo = M.TakeOutInfo;
    M.EraserMode = -1;
    M.LargeMode = false;
    M.TakeOutInfo = false;
    M.SpinnerMode = 1;
    m.EraserOn = 1;
    if (m.ObstacleActive == -1) {
        m.ObstacleOn = 1;
        m.ObstacleActive = 0;
        m.ResumeObstacle = 1;
    } else {
        keepCursor();
    }
    m.EraPic.resize(m.EraserSize, m.EraserSize);
    m.EraPic.setPicture(m.EraPic.snapshot());
    M.BrushWidth = m.EraserSize;
    M.BrushHeight = m.EraserSize;
    M.StepX = 32;
    M.StepY = 32;
    drawEraserCursor();
}

// A new eraser size switches the eraser on. While it already erases, it is
// switched off first, so the brush kept when it came on stays kept rather
// than being replaced by the eraser's own cursor.
void Canvas::selectEraser(int16_t size)
{
    Main& m = w();
    if (m.EraserOn >= 1 && M.EraserMode == -1 && m.ObstacleActive != -1)
        SwitchEraser();
    m.EraserOn = 0;
    m.EraserSize = size;
    SwitchEraser();
}

void Canvas::Menu_SelectSmallEraser_Click()
{
    selectEraser(32);
}

void Canvas::Menu_SelectMiddleEraser_Click()
{
    selectEraser(64);
}

void Canvas::Menu_SelectLargeEraser_Click()
{
    selectEraser(96);
}

void Canvas::Menu_IncidentEra_Click()
{
    Main& m = w();
    M.EditLay = 8;
    M.EventMode = -1;
    M.EraserMode = -1;
    m.MainPic->setBoxSize(32, 32);
    m.MainPic->pic().setPicture(m.KillIncidentPic.snapshot());
    m.MainPic->refresh();
}

void Canvas::Menu_SetObstacle_Click()
{
    Main& m = w();
    M.TakeOutMode = 0;
    M.TakeOutBrush = 0;
    m.MainPic->show();
    hideBand();
    if (m.ObstacleOn >= 1) {
        M.EditLay = m.SavedEditLay;
        M.EditLayText = m.SavedEditLayText;
        if (m.ResumeEraser == 1) {
            M.EraserMode = -1;
            m.ResumeEraser = 0;
            m.EraPic.setPicture(m.EraPic.snapshot());
            M.BrushWidth = m.EraserSize;
            M.BrushHeight = m.EraserSize;
            drawEraserCursor();
        } else {
            restoreKeptCursor();
        }
        M.LargeMode = M.SavedLargeMode;
        M.TakeOutInfo = M.SavedTakeOutInfo;
        m.ObstacleActive = 0;
        m.ObstacleOn = 0;
        return;
    }
    if (M.EraserMode == -1) {
        M.EraserMode = 0;
        m.ResumeEraser = 1;
    } else {
        keepCursor();
    }
    M.BrushWidth = 32;
    M.BrushHeight = 32;
    M.StepX = M.BrushWidth;
    M.StepY = M.BrushHeight;
    m.MainPic->setBoxSize(32, 32);
    m.MainPic->pic().setPicture(m.ObstaclePic.snapshot());
    m.MainPic->refresh();
    M.SavedLargeMode = M.LargeMode;
    M.SavedTakeOutInfo = M.TakeOutInfo;
    M.EventMode = 0;
    M.TakeOutInfo = false;
    M.LargeMode = false;
    M.SpinnerMode = 1;
    m.ObstacleOn = 1;
    m.ObstacleActive = -1;
    m.SavedEditLay = M.EditLay;
    m.SavedEditLayText = M.EditLayText;
    M.EditLay = 8;
    M.EditLayText = QStringLiteral("编辑事件层8");
}

void Canvas::Menu_Spinner_Click()
{
    if (M.SpinnerMode >= 1) {
        M.StepX = M.BrushWidth;
        M.StepY = M.BrushHeight;
        M.SpinnerMode = 0;
    } else {
        M.StepX = 32;
        M.StepY = 32;
        M.SpinnerMode = 1;
    }
}

void Canvas::MainPic_MouseUp(int, int, int, int)
{
    w().Dragging = 0;
}

} // namespace tilesmith
